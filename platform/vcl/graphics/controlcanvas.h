#pragma once
// The canvas of a control: it draws only while the control paints.

#include "platform/vcl/graphics/canvas.h"

class TControlCanvas : public TCanvas {
public:
    String ClassName() const override { return "TControlCanvas"; }
    void BeginPaint(QPainter* Painter) { AttachPainter(Painter, ScreenPixelsPerInch); }
    void EndPaint() { DetachPainter(); }
};
