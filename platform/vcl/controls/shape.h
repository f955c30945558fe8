#pragma once
// A rectangle, rounded rectangle or ellipse drawn with a pen and a brush.

#include <memory>

#include "platform/vcl/controls/controls.h"

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* AOwner);
    ~TShape() override;

    String ClassName() const override { return "TShape"; }
    bool InheritsFrom(const String& name) const override;

    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType Value);
    TPen* Pen() const { return FPen.get(); }
    TBrush* Brush() const { return FBrush.get(); }

protected:
    void Paint() override;

private:
    TShapeType FShape = stRectangle;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
};
