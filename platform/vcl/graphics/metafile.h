#pragma once
// A recorded drawing that replays at any size: TMetafileCanvas records the
// drawing, the metafile replays it stretched into any rectangle.

#include <memory>

#include "platform/vcl/graphics/canvas.h"
#include "platform/vcl/graphics/graphic.h"

class QPicture;

class TMetafile : public TGraphic {
public:
    TMetafile();
    ~TMetafile() override;

    String ClassName() const override { return "TMetafile"; }
    void Assign(TPersistent* Source) override;

    // The frame the drawing was recorded in, in pixels at 96 per inch; 0 until set or recorded.
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int Value);
    void SetHeight(int Value);
    bool Empty() const override;
    void Clear();

    // The metafile's own format: a "TMF1" header with the frame, then the drawing.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;

protected:
    void Draw(TCanvas& ACanvas, const TRect& R) override;

private:
    friend class TMetafileCanvas;
    std::unique_ptr<QPicture> FPicture;
    int FWidth = 0;
    int FHeight = 0;
};

// Records into Metafile from construction to destruction; the recording replaces
// what the metafile held. Without a frame set, the frame is the drawing's extent.
class TMetafileCanvas : public TCanvas {
public:
    explicit TMetafileCanvas(TMetafile* Metafile);
    ~TMetafileCanvas() override;

    String ClassName() const override { return "TMetafileCanvas"; }

protected:
    TSize SurfaceSize() override;

private:
    struct TRecording;
    TMetafile* FMetafile;
    std::unique_ptr<TRecording> FRecording;
};
