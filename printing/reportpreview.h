#pragma once
// "Report Preview": the pages a list report left as page bitmaps in the program
// directory, one at a time, with zoom and paging by buttons and keys. Nothing is
// printed from here.

#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/image.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/controls/scrollbox.h"
#include "platform/vcl/forms/forms.h"

class TFPreview : public TForm {
public:
    explicit TFPreview(TComponent* AOwner);
    String ClassName() const override { return "TFPreview"; }

    TScrollBox* ScrollBox1;
    TImage* Image1;
    TPanel* Panel1;
    TSpeedButton* SpeedButton1;
    TSpeedButton* SpeedButton2;
    TSpeedButton* btnPrev;
    TSpeedButton* btnNext;
    TSpeedButton* SpeedButton5;

    int CurrentPage = 1;
    String Orientation;  // "poPortrait" or "poLandscape"
    int PageCount = 0;
    // The page shows at 384 / ZoomDivisor pixels per inch; never below 1.
    int ZoomDivisor = 4;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // Shows the current page's file.
    void LoadPage();
    // Sizes the page for the orientation and the zoom.
    void SizeImage();
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void btnPrevClick(TObject* Sender);
    void btnNextClick(TObject* Sender);
    void SpeedButton5Click(TObject* Sender);
};

// The form while ShowPreview shows it; null otherwise.
extern TFPreview* FPreview;

// Shows the report's page files PRV0001.BMP to PageCount modally; Orientation is
// "poPortrait" or "poLandscape".
void ShowPreview(int PageCount, const String& Orientation);
