#pragma once
// The common part of pictures: bitmaps, JPEG images and metafiles.

#include "platform/classes/events.h"
#include "platform/classes/persistent.h"
#include "platform/rtl/exceptions.h"
#include "platform/vcl/graphics/geometry.h"

class TCanvas;
class TStream;

// A picture file or stream that cannot be read.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

class TGraphic : public TPersistent {
public:
    String ClassName() const override { return "TGraphic"; }

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const = 0;
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);

    // Reads the whole file; raises EInvalidGraphic when it is no picture of this kind
    // and EFOpenError when it cannot be opened.
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName);
    // From the stream's position to its end.
    virtual void LoadFromStream(TStream& Stream) = 0;
    virtual void SaveToStream(TStream& Stream) = 0;

    TNotifyEvent OnChange;

protected:
    friend class TCanvas;
    // Draws the picture stretched into R.
    virtual void Draw(TCanvas& ACanvas, const TRect& R) = 0;
    virtual void Changed();

private:
    bool FTransparent = false;
};
