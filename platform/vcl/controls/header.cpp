#include "platform/vcl/controls/header.h"

#include <QWidget>
#include <algorithm>

#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/panels.h"

namespace {

constexpr int SectionWidth = 75;
constexpr int TextMargin = 4;

}  // namespace

THeader::THeader(TComponent* AOwner) : TCustomControl(AOwner), FSections(std::make_unique<TStringList>())
{
    Widget()->setFocusPolicy(Qt::NoFocus);
    SetTabStop(false);
    FSections->OnChange = [this](TStrings*) { Invalidate(); };
    SetBounds(0, 0, 250, 25);
}

THeader::~THeader() { FSections->OnChange = nullptr; }

bool THeader::InheritsFrom(const String& name) const
{
    return SameText(name, "THeader") || TCustomControl::InheritsFrom(name);
}

TRect THeader::SectionRect(int Index) const
{
    const int count = FSections->Count();
    if (Index < 0 || Index >= count)
        return TRect {};
    const int left = Index * SectionWidth;
    const int right = Index == count - 1 ? std::max(left + SectionWidth, ClientWidth()) : left + SectionWidth;
    return Rect(left, 0, right, ClientHeight());
}

void THeader::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetColor(clBtnFace);
    canvas->FillRect(ClientRect());
    canvas->SetFont(Font());
    for (int i = 0; i < FSections->Count(); ++i) {
        TRect rect = SectionRect(i);
        Frame3D(*canvas, rect, clBtnHighlight, clBtnShadow, 1);
        rect.Left += TextMargin;
        canvas->Brush()->SetStyle(bsClear);
        canvas->DrawText(FSections->Get(i), rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        canvas->Brush()->SetStyle(bsSolid);
    }
}
