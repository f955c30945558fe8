#pragma once
// An indent marker of the rich text editor's ruler: a picture the user drags along its
// parent between two limits.

#include <memory>

#include "platform/vcl/controls/controls.h"

class TBitmap;

class TdwTrackIcon : public TGraphicControl {
public:
    explicit TdwTrackIcon(TComponent* AOwner);
    ~TdwTrackIcon() override;

    String ClassName() const override { return "TdwTrackIcon"; }
    bool InheritsFrom(const String& name) const override;

    // The picture, "dwRulerUp" or "dwRulerDown"; the control takes its size. The bottom-left
    // pixel's colour is see-through.
    const String& BitmapName() const { return FBitmapName; }
    void SetBitmapName(const String& Value);
    // The limits of Left while it is dragged; 0 sets none.
    int MinValue() const { return FMinValue; }
    void SetMinValue(int Value) { FMinValue = Value; }
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value) { FMaxValue = Value; }
    // Fires when the left button is let go after the marker moved.
    TNotifyEvent OnEndDrag;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    std::unique_ptr<TBitmap> FBitmap;
    String FBitmapName;
    int FMinValue = 0;
    int FMaxValue = 0;
    bool FPressed = false;
    bool FMoved = false;
    int FPressX = 0;
};
