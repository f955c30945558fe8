#include "controls/kvnumberedit.h"

#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/texthelpers.h"

bool TKVNumberEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVNumberEdit") || TEdit::InheritsFrom(name);
}

void TKVNumberEdit::DoExit()
{
    try {
        StoreValue(KeepChars(Text(), "0123456789.-"));
    } catch (...) {
        // The variable keeps its value; the user stays in the field to correct the text.
        SelectAll();
        if (CanFocus())
            SetFocus();
        throw;
    }
    Format();
    TEdit::DoExit();
    if (ReturnsOnExit())
        MouseFreeReturn(this, true);
}

void TKVNumberEdit::PaintOver(TCanvas* Canvas, const TRect& ClientArea)
{
    if (IsFocused())
        return;
    Canvas->SetFont(Font());
    Canvas->Brush()->SetColor(Color());
    Canvas->FillRect(ClientArea);
    PaintMark(Canvas, ClientArea);
    TRect area = ClientArea;
    Canvas->DrawText(Text(), area, DT_RIGHT);
}

template<class T> void TKVRealEdit<T>::StoreValue(const String& Filtered)
{
    if (!FValue)
        return;
    *FValue = static_cast<T>(Filtered.empty() ? 0.0 : StrToFloat(Filtered));
}

template<class T> void TKVRealEdit<T>::Format()
{
    if (FValue)
        SetText(FormatFloat(FMask, static_cast<double>(*FValue)));
}

template class TKVRealEdit<float>;
template class TKVRealEdit<double>;
