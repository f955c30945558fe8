#pragma once
// A picture on a form, drawn as it is, centred or stretched.

#include <memory>

#include "platform/vcl/controls/controls.h"
#include "platform/vcl/graphics/picture.h"

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    String ClassName() const override { return "TImage"; }
    bool InheritsFrom(const String& name) const override;

    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // Sizes the image to its picture.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);

protected:
    void Paint() override;

private:
    void PictureChanged();

    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FTransparent = false;
    bool FAutoSize = false;
};
