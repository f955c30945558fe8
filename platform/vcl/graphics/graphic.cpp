#include "platform/vcl/graphics/graphic.h"

#include "platform/rtl/streams.h"

void TGraphic::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    Changed();
}

void TGraphic::LoadFromFile(const String& FileName)
{
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const String& FileName)
{
    TFileStream stream(FileName, fmCreate);
    SaveToStream(stream);
}

void TGraphic::Changed()
{
    if (OnChange)
        OnChange(this);
}
