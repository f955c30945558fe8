#include "printing/viewpcl.h"

#include <memory>

#include "app/mainform.h"
#include "app/smalldialogs.h"
#include "controls/kvrows.h"
#include "platform/pcl/pclviewer.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/image.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/controls/progressbar.h"
#include "platform/vcl/controls/scrollbox.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/picture.h"
#include "platform/vcl/printing/printers.h"
#include "platform/win/rawprinter.h"
#include "printing/formprinter.h"
#include "printing/pageviewerkeys.h"

namespace {

// The five digits of a page file's name ("PRN00012.PRN" gives "00012").
String PageDigits(const String& Name) { return Name.substr(3, 5); }

String PageNumberText(int Page) { return FormatFloat("00000", Page); }

// A control owned by Form on Parent.
template<class T>
T* Place(TForm* Form, TWinControl* Parent, const String& Name, int Left, int Top, int Width, int Height)
{
    T* control = NewChild<T>(Form, Parent, Name);
    control->SetBounds(Left, Top, Width, Height);
    return control;
}

}  // namespace

void ViewPrintedPages(bool Show)
{
    const auto freeForm = [](TFCreateStatus* Form) { Form->Free(); };
    std::unique_ptr<TFCreateStatus, decltype(freeForm)> status(
            Construct<TFCreateStatus>(Application.operator->()), freeForm);
    status->Show();
    status->Label1->Repaint();

    const String& dir = FMain->ProgramDir;
    if (FMain->MakePdf) {
        // The metafiles present afterwards are exactly those this run converts.
        for (const String& name : ListFiles(dir, "WMF*.WMF"))
            DeleteFile(dir + name);
    }

    int count = 0;
    if (FMain->BitmapPages) {
        count = static_cast<int>(ListFiles(dir, "BMP*.BMP").size());
        status->ProgressBar1->SetMax(count);
        status->ProgressBar1->Repaint();
    } else {
        std::vector<String> pages;
        for (const String& name : ListFiles(dir, "PRN*.PRN"))
            pages.push_back("PRN" + PageDigits(name) + ".PRN");
        count = static_cast<int>(pages.size());
        status->ProgressBar1->SetMax(count);
        status->ProgressBar1->Repaint();
        if (FMain->MakePdf) {
            auto viewer = std::make_unique<TADTaxViewerX>(nullptr);
            for (int i = 0; i < count; ++i) {
                const String metafile = "WMF" + PageDigits(pages[i]) + ".WMF";
                status->Label1->SetCaption("Preparing Page " + IntToStr(i + 1) + " of " + IntToStr(count) +
                                           " for Preview");
                status->Label1->Repaint();
                viewer->Clear();
                viewer->SetHpFile(dir + pages[i]);
                viewer->SaveMetafile(dir + metafile);
                status->ProgressBar1->SetPosition(status->ProgressBar1->Position() + 1);
                status->ProgressBar1->Repaint();
            }
        }
    }

    if (Show) {
        if (count == 0) {
            ShowMessage("Nothing to view.");
        } else {
            FMain->DialogParam = count;
            Construct<TFViewPCL>(Application.operator->())->Show();
        }
    }
}

TFViewPCL::TFViewPCL(TComponent* AOwner) : TForm(AOwner)
{
    SetName("FViewPCL");
    SetCaption("Form Viewer");
    SetWidth(1012);
    SetHeight(653);
    SetWindowState(wsMaximized);
    SetKeyPreview(true);

    Panel1 = Place<TPanel>(this, this, "Panel1", 0, 0, 1004, 33);
    Panel1->SetAlign(alTop);
    Panel1->SetCaption("");
    auto button = [this](const String& Name, const String& Caption, int Left,
                         void (TFViewPCL::*Handler)(TObject*)) {
        TSpeedButton* b = Place<TSpeedButton>(this, Panel1, Name, Left, 4, 110, 25);
        b->SetCaption(Caption);
        b->OnClick = [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
        return b;
    };
    SpeedButton1 = button("SpeedButton1", "Zoom In", 8, &TFViewPCL::SpeedButton1Click);
    SpeedButton2 = button("SpeedButton2", "Zoom Out", 120, &TFViewPCL::SpeedButton2Click);
    btnPrev = button("btnPrev", "Previous Page", 232, &TFViewPCL::btnPrevClick);
    btnNext = button("btnNext", "Next Page", 344, &TFViewPCL::btnNextClick);
    SpeedButton5 = button("SpeedButton5", "Print Page", 456, &TFViewPCL::SpeedButton5Click);
    Label1 = Place<TLabel>(this, Panel1, "Label1", 584, 10, 200, 13);
    Label1->Font()->SetStyle(TFontStyles {fsBold});
    Label1->Font()->SetHeight(-13);
    Label1->Font()->SetColor(clBlack);

    ScrollBox1 = Place<TScrollBox>(this, this, "ScrollBox1", 0, 33, 1004, 593);
    ScrollBox1->SetAlign(alClient);
    Image1 = Place<TImage>(this, ScrollBox1, "Image1", 12, 10, 816, 1056);
    Image1->SetStretch(true);
    ADTaxViewerX1 = Place<TADTaxViewerX>(this, ScrollBox1, "ADTaxViewerX1", 0, 0, 799, 990);
    PrintDialog1 = new TPrintDialog(this);

    OnKeyPress = [this](TObject*, char& Key) { PageViewerKeyPress(*this, Key); };
    OnKeyDown = [this](TObject*, Word& Key, TShiftState) { PageViewerKeyDown(*this, Key); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };

    PageCount = FMain->DialogParam;
    ShowPage();
}

void TFViewPCL::ShowPage()
{
    const String number = PageNumberText(CurrentPage);
    BitmapFileName = FMain->ProgramDir + "bmp" + number + ".bmp";
    PclFileName = "PRN" + number + ".PRN";
    ADTaxViewerX1->Clear();
    if (FMain->BitmapPages) {
        Image1->SetWidth(3264 / ZoomDivisor);
        Image1->SetHeight(4224 / ZoomDivisor);
        Image1->SetVisible(true);
        if (FileExists(BitmapFileName))
            Image1->Picture()->LoadFromFile(BitmapFileName);
        else
            Image1->Picture()->Assign(nullptr);
        ADTaxViewerX1->SetVisible(false);
        ADTaxViewerX1->SetWidth(0);
        ADTaxViewerX1->SetHeight(0);
    } else {
        Image1->SetVisible(false);
        ADTaxViewerX1->SetVisible(true);
        ADTaxViewerX1->SetHpFile(FMain->ProgramDir + PclFileName);
    }
    btnPrev->SetEnabled(CurrentPage != 1);
    btnNext->SetEnabled(CurrentPage != PageCount);
    Label1->SetCaption("Page " + IntToStr(CurrentPage) + " of " + IntToStr(PageCount));
}

void TFViewPCL::SpeedButton1Click(TObject*) { ADTaxViewerX1->SetLargeForm(true); }

void TFViewPCL::SpeedButton2Click(TObject*) { ADTaxViewerX1->SetLargeForm(false); }

void TFViewPCL::btnPrevClick(TObject*)
{
    if (CurrentPage > 1)
        --CurrentPage;
    ShowPage();
}

void TFViewPCL::btnNextClick(TObject*)
{
    if (CurrentPage < PageCount)
        ++CurrentPage;
    ShowPage();
}

void TFViewPCL::SpeedButton5Click(TObject*)
{
    if (!PrintDialog1->Execute())
        return;
    UsePrintDialogChoice(*PrintDialog1);
    if (FMain->BitmapPages)
        PrintBitmapPage();
    else
        PrintPclPage();
}

// The page file's bytes, unchanged and once, as one raw document; the file is read
// before the printer is asked for, so a page a later run removed sends nothing.
void TFViewPCL::PrintPclPage()
{
    String bytes;
    if (!ReadPageFile(FMain->ProgramDir + PclFileName, bytes)) {
        ShowMessage(MissingPageText(PclFileName));
        return;
    }
    const String docName = "Korvane Client " + FMain->User->ClientID;
    const TRawPrintResult result = PrintRawDocument(SpoolerPrinterName(), docName, {bytes});
    if (!result.Opened)
        ShowMessage("Failed to open specified printer.");
    else if (!result.Printed())
        ShowMessage("The printer did not accept \"" + docName + "\": " + result.Error);
}

// A canvas run has no PCL page: its page bitmap goes to the desktop printer, filling the sheet.
void TFViewPCL::PrintBitmapPage()
{
    if (!FileExists(BitmapFileName)) {
        ShowMessage(MissingPageText(BitmapFileName));
        return;
    }
    TBitmap bitmap;
    bitmap.LoadFromFile(BitmapFileName);
    TPrinter* printer = Printer();
    printer->SetTitle("Korvane Client " + FMain->User->ClientID);
    printer->BeginDoc();
    printer->Canvas()->StretchDraw(TRect {0, 0, printer->PageWidth(), printer->PageHeight()}, &bitmap);
    printer->EndDoc();
}

void TFViewPCL::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }
