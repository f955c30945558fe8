#include "platform/vcl/controls/progressbar.h"

#include <QProgressBar>

#include "platform/rtl/strutils.h"
#include "platform/vcl/qt/qapp.h"

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner, MakeWidget<QProgressBar>())
{
    auto* bar = static_cast<QProgressBar*>(Widget());
    bar->setTextVisible(false);
    bar->setFocusPolicy(Qt::NoFocus);
    Apply();
    SetBounds(0, 0, 150, 16);
}

bool TProgressBar::InheritsFrom(const String& name) const
{
    return SameText(name, "TProgressBar") || TWinControl::InheritsFrom(name);
}

void TProgressBar::SetMin(int Value)
{
    FMin = Value;
    FMax = std::max(FMax, FMin);
    SetPosition(FPosition);
}

void TProgressBar::SetMax(int Value)
{
    FMax = Value;
    FMin = std::min(FMin, FMax);
    SetPosition(FPosition);
}

void TProgressBar::SetPosition(int Value)
{
    FPosition = std::clamp(Value, FMin, FMax);
    Apply();
}

void TProgressBar::Apply()
{
    auto* bar = static_cast<QProgressBar*>(Widget());
    bar->setRange(FMin, FMax);
    bar->setValue(FPosition);
}
