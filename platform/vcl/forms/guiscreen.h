#pragma once
// The screen's GUI side: the active form and control, the cursor and the metrics.

#include "platform/classes/screen.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/controls/controls.h"

class TCustomForm;

class TGuiScreen : public TScreen {
public:
    String ClassName() const override { return "TScreen"; }

    // The form that has the focus; null when none of ours has.
    TCustomForm* ActiveForm() const { return FActiveForm; }
    TWinControl* ActiveControl() const;
    // The application-wide cursor; crDefault lets each control show its own.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    int PixelsPerInch() const;
    int Width() const;
    int Height() const;
    // The desktop without task bars.
    TRect WorkAreaRect() const;
    // The installed font families, sorted.
    TStrings* Fonts();

private:
    friend class TCustomForm;
    TCustomForm* FActiveForm = nullptr;
    TCursor FCursor = crDefault;
    TStringList FFonts;
};

// The program's screen, installed over the component library's on first use.
TGuiScreen* GuiScreen();
