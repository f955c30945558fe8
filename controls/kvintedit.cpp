#include "controls/kvintedit.h"

#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/texthelpers.h"
#include "platform/vcl/forms/application.h"

bool TKVIntEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVIntEdit") || TKVNumberEdit::InheritsFrom(name);
}

void TKVIntEdit::Bind(int* Value) { Bind(Value, nullptr); }

void TKVIntEdit::Bind(int* Value, bool* Flag)
{
    FValue = Value;
    FFlag = Flag;
    Format();
}

void TKVIntEdit::StoreValue(const String& Filtered)
{
    if (FValue)
        *FValue = Filtered.empty() ? 0 : TextToRoundedInt(Filtered);
    if (FOverride && FFlag)
        *FFlag = !Filtered.empty();
}

void TKVIntEdit::Format()
{
    if (!FValue)
        return;
    const bool showZero = FOverride && FFlag && *FFlag;
    SetText(FormatFloat(showZero ? "##########0," : "###########,", *FValue));
}

void TKVIntEdit::SetScheduleIndicator(int Kind)
{
    FIndicatorColor = Kind == 1 ? TColor(0xFFFF00) : Kind == 2 ? TColor(0x0000FF) : clNone;
    // The hint stays once set, also after the mark is cleared.
    if (FIndicatorColor != clNone) {
        SetHint(Kind == 1 ? "An overflow statement is available for this field.  Hit the F3 key to access"
                          : "An overflow statement has been used for this field.  Hit the F3 key to access");
        Application->SetHintHidePause(5000);
        SetShowHint(true);
    }
    Invalidate();
}

void TKVIntEdit::PaintMark(TCanvas* Canvas, const TRect& ClientArea)
{
    if (FIndicatorColor == clNone)
        return;
    const TPenStyle penStyle = Canvas->Pen()->Style();
    Canvas->Pen()->SetStyle(psClear);
    Canvas->Brush()->SetColor(FIndicatorColor);
    const int left = ClientArea.Left;
    Canvas->Polygon({Point(left, 0), Point(left, 8), Point(left + 8, 0)});
    Canvas->Pen()->SetStyle(penStyle);
}
