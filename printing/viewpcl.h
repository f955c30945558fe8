#pragma once
// The page viewer of a form print run, and the collection of the run's page
// files: PCL pages (PRN*.PRN) or, from a canvas run, page bitmaps (BMP*.BMP),
// in the program directory. A PDF run also turns each PCL page into a page
// metafile (WMF + the same five digits + .WMF) for the PDF maker.

#include "platform/vcl/forms/forms.h"

class TADTaxViewerX;
class TImage;
class TLabel;
class TPanel;
class TPrintDialog;
class TScrollBox;
class TSpeedButton;

// Collects the page files of the run just made; in a PDF run converts the PCL
// pages; with Show opens the viewer (modeless) over them, or says there is
// nothing to view.
void ViewPrintedPages(bool Show);

class TFViewPCL : public TForm {
public:
    // Shows page 1 of FMain->DialogParam pages.
    explicit TFViewPCL(TComponent* AOwner);
    String ClassName() const override { return "TFViewPCL"; }

    TPanel* Panel1;
    TSpeedButton* SpeedButton1;
    TSpeedButton* SpeedButton2;
    TSpeedButton* btnPrev;
    TSpeedButton* btnNext;
    TSpeedButton* SpeedButton5;
    TLabel* Label1;
    TScrollBox* ScrollBox1;
    TImage* Image1;
    TADTaxViewerX* ADTaxViewerX1;
    TPrintDialog* PrintDialog1;

    int PageCount = 0;
    int CurrentPage = 1;
    int ZoomDivisor = 4;
    String BitmapFileName;
    String PclFileName;  // the bare name; the file is in the program directory

    void ShowPage();

    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void btnPrevClick(TObject* Sender);
    void btnNextClick(TObject* Sender);
    void SpeedButton5Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

private:
    void PrintPclPage();
    void PrintBitmapPage();
};
