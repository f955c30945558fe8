#pragma once
// A bar that shows how far an operation has got.

#include "platform/vcl/controls/controls.h"

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* AOwner);

    String ClassName() const override { return "TProgressBar"; }
    bool InheritsFrom(const String& name) const override;
    bool AcceptsFocus() const override { return false; }

    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    // Kept within Min and Max.
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Step() const { return FStep; }
    void SetStep(int Value) { FStep = Value; }
    void StepIt() { SetPosition(FPosition + FStep); }
    void StepBy(int Delta) { SetPosition(FPosition + Delta); }

private:
    void Apply();

    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FStep = 10;
};
