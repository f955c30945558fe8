#include "platform/vcl/header.h"

#include <QWidget>
#include <algorithm>

#include "platform/rtl/strutils.h"
#include "platform/vcl/panels.h"

namespace {

constexpr int DefaultSectionWidth = 75;
constexpr int TextMargin = 4;

}  // namespace

THeader::THeader(TComponent* AOwner) : TCustomControl(AOwner), FSections(std::make_unique<TStringList>()) {
    Widget()->setFocusPolicy(Qt::NoFocus);
    SetTabStop(false);
    FSections->OnChange = [this](TStrings*) { SectionsChanged(); };
    SetBounds(0, 0, 250, 25);
}

THeader::~THeader() { FSections->OnChange = nullptr; }

bool THeader::InheritsFrom(const String& name) const {
    return SameText(name, "THeader") || TCustomControl::InheritsFrom(name);
}

void THeader::SectionsChanged() {
    FWidths.resize(static_cast<size_t>(FSections->Count()), DefaultSectionWidth);
    Invalidate();
}

int THeader::SectionWidth(int Index) const {
    if (Index < 0 || Index >= static_cast<int>(FWidths.size())) return 0;
    return FWidths[static_cast<size_t>(Index)];
}

void THeader::SetSectionWidth(int Index, int Value) {
    if (Index < 0 || Index >= static_cast<int>(FWidths.size())) return;
    FWidths[static_cast<size_t>(Index)] = std::max(0, Value);
    Invalidate();
}

TRect THeader::SectionRect(int Index) const {
    if (Index < 0 || Index >= static_cast<int>(FWidths.size())) return TRect{};
    int left = 0;
    for (int i = 0; i < Index; ++i) left += FWidths[static_cast<size_t>(i)];
    const bool last = Index == static_cast<int>(FWidths.size()) - 1;
    const int right = last ? std::max(left + FWidths[static_cast<size_t>(Index)], ClientWidth())
                           : left + FWidths[static_cast<size_t>(Index)];
    return Rect(left, 0, right, ClientHeight());
}

void THeader::Paint() {
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
