#include "controls/kvdbnumberedit.h"

#include "platform/rtl/strutils.h"

bool TKVDBNumberEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVDBNumberEdit") || TDBEdit::InheritsFrom(name);
}

void TKVDBNumberEdit::DoExit()
{
    TDBEdit::DoExit();
    if (!DisableMouseFree())
        MouseFreeReturn(this, true);
}

void TKVDBNumberEdit::PaintOver(TCanvas* Canvas, const TRect& ClientArea)
{
    if (IsFocused())
        return;
    Canvas->Brush()->SetColor(Color());
    Canvas->SetFont(Font());
    // The edit keeps no text margins of its own, which would move the text one more
    // pixel to the left.
    const String text = Text();
    Canvas->TextRect(ClientArea, ClientArea.Width() - Canvas->TextWidth(text) - 2, 2, text);
}
