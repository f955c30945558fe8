#include "platform/vcl/controls/buttons.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/dispatch.h"
#include "platform/vcl/qt/qapp.h"
#include "platform/vcl/qt/qtext.h"

namespace {

// The part of a glyph strip for the enabled (first) or disabled (second) look.
QImage GlyphPart(TBitmap& Glyph, int NumGlyphs, bool Enabled)
{
    const QImage& image = Glyph.Image();
    if (image.isNull())
        return image;
    const int parts = std::max(1, NumGlyphs);
    const int width = image.width() / parts;
    QImage part = image.copy(!Enabled && parts > 1 ? width : 0, 0, width, image.height())
                          .convertToFormat(QImage::Format_ARGB32);
    // The bottom-left pixel's colour shows the background through.
    const QRgb key = part.pixel(0, part.height() - 1);
    for (int y = 0; y < part.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x) {
            if (line[x] == key)
                line[x] = 0;
        }
    }
    return part;
}

}  // namespace

void DrawGlyph(TCanvas& Canvas, TBitmap& Glyph, int NumGlyphs, bool Enabled, int X, int Y)
{
    QPainter* painter = Canvas.Painter();
    if (!painter || Glyph.Empty())
        return;
    painter->drawImage(X, Y, GlyphPart(Glyph, NumGlyphs, Enabled));
}

// ---------------------------------------------------------------- TButton

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner, MakeWidget<QPushButton>())
{
    auto* button = static_cast<QPushButton*>(Widget());
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, [this] { Guarded(this, [this] { Click(); }); });
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

bool TButton::InheritsFrom(const String& name) const
{
    return SameText(name, "TButton") || SameText(name, "TButtonControl") || TWinControl::InheritsFrom(name);
}

void TButton::TextChanged() { static_cast<QPushButton*>(Widget())->setText(ToQString(Caption())); }

void TButton::SetDefault(bool Value)
{
    FDefault = Value;
    static_cast<QPushButton*>(Widget())->setDefault(Value);
}

void TButton::Click()
{
    if (TCustomForm* form = ParentForm(); form && FModalResult != mrNone)
        form->SetModalResult(FModalResult);
    TWinControl::Click();
}

bool TButton::CMDialogKey(Word Key, TShiftState Shift)
{
    if (!Shift.Empty() || !CanFocus())
        return false;
    bool take = false;
    if (Key == VK_ESCAPE) {
        take = FCancel;
    } else if (Key == VK_RETURN) {
        // The focused button, or the default one while no button has the focus.
        TCustomForm* form = ParentForm();
        TWinControl* active = form ? form->ActiveControl() : nullptr;
        take = active == this || (FDefault && !dynamic_cast<TButton*>(active));
    }
    if (!take)
        return false;
    Click();
    return true;
}

// ---------------------------------------------------------------- TBitBtn

namespace {

struct KindInfo {
    const char* Caption;
    TModalResult Result;
};

constexpr KindInfo Kinds[] = {
        {"", mrNone},        {"OK", mrOk},          {"Cancel", mrCancel}, {"&Help", mrNone},
        {"&Yes", mrYes},     {"&No", mrNo},         {"&Close", mrNone},   {"Abort", mrAbort},
        {"&Retry", mrRetry}, {"&Ignore", mrIgnore}, {"&All", mrAll},
};

}  // namespace

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), FGlyph(std::make_unique<TBitmap>())
{
    FGlyph->OnChange = [this](TObject*) { GlyphChanged(); };
}

TBitBtn::~TBitBtn() { FGlyph->OnChange = nullptr; }

bool TBitBtn::InheritsFrom(const String& name) const
{
    return SameText(name, "TBitBtn") || TButton::InheritsFrom(name);
}

void TBitBtn::SetKind(TBitBtnKind Value)
{
    FKind = Value;
    if (Value == bkCustom)
        return;
    SetDefault(Value == bkOK || Value == bkYes);
    SetCancel(Value == bkCancel || Value == bkNo);
    SetModalResult(Kinds[Value].Result);
    SetCaption(Kinds[Value].Caption);
}

void TBitBtn::SetNumGlyphs(int Value)
{
    FNumGlyphs = std::clamp(Value, 1, 4);
    GlyphChanged();
}

void TBitBtn::SetLayout(TButtonLayout Value)
{
    FLayout = Value;
    GlyphChanged();
}

void TBitBtn::EnabledChanged()
{
    TButton::EnabledChanged();
    GlyphChanged();
}

void TBitBtn::GlyphChanged()
{
    auto* button = static_cast<QPushButton*>(Widget());
    if (FGlyph->Empty()) {
        button->setIcon(QIcon());
        return;
    }
    const QImage part = GlyphPart(*FGlyph, FNumGlyphs, Enabled());
    button->setIcon(QIcon(QPixmap::fromImage(part)));
    button->setIconSize(part.size());
    button->setLayoutDirection(FLayout == blGlyphRight ? Qt::RightToLeft : Qt::LeftToRight);
}

void TBitBtn::Click()
{
    if (FKind == bkClose) {
        if (TCustomForm* form = ParentForm())
            form->Close();
        TWinControl::Click();
        return;
    }
    TButton::Click();
}

// ---------------------------------------------------------------- TSpeedButton

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>())
{
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
    SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() { FGlyph->OnChange = nullptr; }

bool TSpeedButton::InheritsFrom(const String& name) const
{
    return SameText(name, "TSpeedButton") || TGraphicControl::InheritsFrom(name);
}

void TSpeedButton::SetNumGlyphs(int Value)
{
    FNumGlyphs = std::clamp(Value, 1, 4);
    Invalidate();
}

void TSpeedButton::SetFlat(bool Value)
{
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::SetMargin(int Value)
{
    FMargin = std::max(-1, Value);
    Invalidate();
}

void TSpeedButton::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (Value == FDown)
        return;
    if (!Value && !FAllowAllUp) {
        // The last button down in a group stays down unless all may be up.
        bool otherDown = false;
        if (Parent()) {
            for (int i = 0; i < Parent()->ControlCount(); ++i) {
                auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
                otherDown = otherDown ||
                            (other && other != this && other->FGroupIndex == FGroupIndex && other->FDown);
            }
        }
        if (!otherDown)
            return;
    }
    FDown = Value;
    if (Value && Parent()) {
        for (int i = 0; i < Parent()->ControlCount(); ++i) {
            auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
            if (other && other != this && other->FGroupIndex == FGroupIndex && other->FDown) {
                other->FDown = false;
                other->Invalidate();
            }
        }
    }
    Invalidate();
}

void TSpeedButton::Click()
{
    if (FGroupIndex != 0)
        SetDown(!FDown || !FAllowAllUp);
    TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && Enabled()) {
        FPressed = true;
        Invalidate();
    }
    TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FPressed = false;
    Invalidate();
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TSpeedButton::Paint()
{
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    const bool sunken = FPressed || FDown;
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(client);
    if (!FFlat || sunken) {
        canvas->Pen()->SetColor(sunken ? clBtnShadow : clBtnHighlight);
        canvas->MoveTo(client.Left, client.Bottom - 1);
        canvas->LineTo(client.Left, client.Top);
        canvas->LineTo(client.Right - 1, client.Top);
        canvas->Pen()->SetColor(sunken ? clBtnHighlight : cl3DDkShadow);
        canvas->LineTo(client.Right - 1, client.Bottom - 1);
        canvas->LineTo(client.Left, client.Bottom - 1);
    }
    const int offset = sunken ? 1 : 0;
    const bool centred = FMargin < 0;
    int textLeft = centred ? 4 : FMargin;
    if (!FGlyph->Empty()) {
        const int glyphWidth = FGlyph->Width() / std::max(1, FNumGlyphs);
        const int x = !centred ? FMargin : Caption().empty() ? (client.Width() - glyphWidth) / 2 : 4;
        DrawGlyph(*canvas, *FGlyph, FNumGlyphs, Enabled(), x + offset,
                  (client.Height() - FGlyph->Height()) / 2 + offset);
        textLeft = x + glyphWidth + 4;
    }
    if (!Caption().empty()) {
        canvas->SetFont(Font());
        if (!Enabled())
            canvas->Font()->SetColor(clGrayText);
        canvas->Brush()->SetStyle(bsClear);
        TRect rect = Rect(textLeft + offset, offset, client.Right + offset, client.Bottom + offset);
        canvas->DrawText(Caption(), rect,
                         (FGlyph->Empty() && centred ? DT_CENTER : DT_LEFT) | DT_VCENTER | DT_SINGLELINE);
    }
}
