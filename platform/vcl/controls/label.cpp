#include "platform/vcl/controls/label.h"

#include <QWidget>

#include "platform/rtl/strutils.h"

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetParentColor(true);
    SetBounds(0, 0, 65, 13);
}

bool TLabel::InheritsFrom(const String& name) const
{
    return SameText(name, "TLabel") || TGraphicControl::InheritsFrom(name);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
    TGraphicControl::Notification(AComponent, Operation);
}

void TLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustSize();
}

void TLabel::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    AdjustSize();
}

void TLabel::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    Invalidate();
}

void TLabel::SetLayout(TTextLayout Value)
{
    FLayout = Value;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool Value)
{
    FShowAccelChar = Value;
    AdjustSize();
    Invalidate();
}

void TLabel::SetTransparent(bool Value)
{
    FTransparent = Value;
    Invalidate();
}

void TLabel::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    AdjustSize();
    Invalidate();
}

void TLabel::SetFocusControl(TWinControl* Value)
{
    FFocusControl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TLabel::TextChanged()
{
    AdjustSize();
    Invalidate();
}

void TLabel::FontChanged()
{
    TGraphicControl::FontChanged();
    AdjustSize();
}

unsigned TLabel::TextFormat() const
{
    unsigned format = FWordWrap ? DT_WORDBREAK : 0;
    if (!FShowAccelChar)
        format |= DT_NOPREFIX;
    if (FAlignment == taCenter)
        format |= DT_CENTER;
    else if (FAlignment == taRightJustify)
        format |= DT_RIGHT;
    return format;
}

void TLabel::AdjustSize()
{
    if (!FAutoSize || ComponentState().Contains(csLoading))
        return;
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    TRect rect = Rect(0, 0, FWordWrap ? Width() : 0, 0);
    const String text = Caption().empty() ? String(" ") : Caption();
    canvas->DrawText(text, rect, TextFormat() | DT_CALCRECT);
    SetBounds(Left(), Top(), FWordWrap ? Width() : rect.Width(), rect.Height());
}

void TLabel::Paint()
{
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    if (!FTransparent) {
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(client);
    }
    canvas->Brush()->SetStyle(bsClear);
    canvas->SetFont(Font());
    if (!Enabled())
        canvas->Font()->SetColor(clGrayText);
    TRect rect = client;
    unsigned format = TextFormat();
    if (FLayout != tlTop) {
        TRect measure = client;
        canvas->DrawText(Caption(), measure, format | DT_CALCRECT);
        const int offset = client.Height() - measure.Height();
        rect.Top += FLayout == tlCenter ? offset / 2 : offset;
    }
    canvas->DrawText(Caption(), rect, format);
}
