#include "platform/vcl/printing/printers.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/vcl/graphics/fontlist.h"
#include "platform/vcl/printing/qpaper.h"
#include "platform/vcl/qt/qapp.h"
#include "platform/vcl/qt/qtext.h"

struct TPrinter::TDevice {
    QPrinter Printer {QPrinter::HighResolution};
    QPainter Painter;
};

// Draws on the page while a document is open.
class TPrinter::TPrinterCanvas : public TCanvas {
public:
    void Begin(QPainter* Painter, int Dpi)
    {
        AttachPainter(Painter, Dpi);
        Font()->SetPixelsPerInch(Dpi);
        Font()->SetSize(Font()->Size());
    }
    void End() { DetachPainter(); }
};

TPrinter* Printer()
{
    static TPrinter* printer = nullptr;
    if (!printer)
        printer = new TPrinter;
    return printer;
}

TPrinter::TPrinter() : FCanvas(std::make_unique<TPrinterCanvas>())
{
    EnsureQApplication();
    FDevice = std::make_unique<TDevice>();
    const std::vector<String> names = Printers();
    const QString defaultName = QPrinterInfo::defaultPrinterName();
    for (size_t i = 0; i < names.size(); ++i) {
        if (ToQString(names[i]) == defaultName)
            FPrinterIndex = static_cast<int>(i);
    }
    if (FPrinterIndex < 0 && !names.empty())
        FPrinterIndex = 0;
    if (FPrinterIndex >= 0)
        FDevice->Printer.setPrinterName(ToQString(names[static_cast<size_t>(FPrinterIndex)]));
    ApplyPageLayout();
}

TPrinter::~TPrinter()
{
    if (FDevice->Painter.isActive())
        FDevice->Painter.end();
}

std::vector<String> TPrinter::Printers() const
{
    std::vector<String> names;
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        names.push_back(FromQString(name));
    return names;
}

void TPrinter::CheckPrinting(bool Value) const
{
    if (FPrinting != Value)
        throw EPrinter(Value ? "Printer is not currently printing" : "Printing in progress");
}

void TPrinter::SetPrinterIndex(int Value)
{
    CheckPrinting(false);
    const std::vector<String> names = Printers();
    if (Value < 0 || Value >= static_cast<int>(names.size()))
        throw EPrinter("Printer selected is not valid");
    FPrinterIndex = Value;
    FDevice->Printer.setPrinterName(ToQString(names[static_cast<size_t>(Value)]));
    ApplyPageLayout();
}

void TPrinter::SetOutputFileName(const String& Value)
{
    CheckPrinting(false);
    FOutputFileName = Value;
}

void TPrinter::SetOrientation(TPrinterOrientation Value)
{
    CheckPrinting(false);
    FOrientation = Value;
    ApplyPageLayout();
}

void TPrinter::SetPaperSize(int Code)
{
    CheckPrinting(false);
    if (!PaperCodeToPageSize(Code).isValid())
        throw EPrinter("Paper size " + std::to_string(Code) + " is not supported");
    FPaperSize = Code;
    ApplyPageLayout();
}

void TPrinter::ApplyPageLayout()
{
    QPrinter& printer = FDevice->Printer;
    printer.setPageSize(PaperCodeToPageSize(FPaperSize));
    printer.setPageOrientation(FOrientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

int TPrinter::PageWidth() const { return FDevice->Printer.width(); }

int TPrinter::PageHeight() const { return FDevice->Printer.height(); }

int TPrinter::PhysicalPageWidth() const
{
    return FDevice->Printer.pageLayout().fullRectPixels(Resolution()).width();
}

int TPrinter::PhysicalPageHeight() const
{
    return FDevice->Printer.pageLayout().fullRectPixels(Resolution()).height();
}

int TPrinter::PrintingOffsetX() const
{
    return FDevice->Printer.pageLayout().paintRectPixels(Resolution()).left();
}

int TPrinter::PrintingOffsetY() const
{
    return FDevice->Printer.pageLayout().paintRectPixels(Resolution()).top();
}

int TPrinter::Resolution() const { return FDevice->Printer.resolution(); }

void TPrinter::SetResolution(int Value)
{
    CheckPrinting(false);
    if (!FDeviceResolution)
        FDeviceResolution = FDevice->Printer.resolution();
    FDevice->Printer.setResolution(Value > 0 ? Value : FDeviceResolution);
}

void TPrinter::BeginDoc()
{
    CheckPrinting(false);
    QPrinter& printer = FDevice->Printer;
    if (FOutputFileName.empty()) {
        if (FPrinterIndex < 0)
            throw EPrinter("There is no default printer currently selected");
        // A PDF file printed before leaves its name and drops the printer's.
        printer.setOutputFileName(QString());
        printer.setOutputFormat(QPrinter::NativeFormat);
        const std::vector<String> names = Printers();
        if (FPrinterIndex >= static_cast<int>(names.size()))
            throw EPrinter("Printer selected is not valid");
        printer.setPrinterName(ToQString(names[static_cast<size_t>(FPrinterIndex)]));
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(ToQString(FOutputFileName));
    }
    ApplyPageLayout();
    printer.setDocName(ToQString(FTitle));
    printer.setCopyCount(FCopies);
    if (!FDevice->Painter.begin(&printer))
        throw EPrinter("The printer could not be opened");
    FPrinting = true;
    FAborted = false;
    FPageNumber = 1;
    FCanvas->Begin(&FDevice->Painter, printer.resolution());
}

void TPrinter::NewPage()
{
    CheckPrinting(true);
    FDevice->Printer.newPage();
    ++FPageNumber;
}

void TPrinter::EndDoc()
{
    CheckPrinting(true);
    FCanvas->End();
    FDevice->Painter.end();
    FPrinting = false;
    FPageNumber = 0;
}

void TPrinter::Abort()
{
    CheckPrinting(true);
    FDevice->Printer.abort();
    FCanvas->End();
    FDevice->Painter.end();
    FPrinting = false;
    FAborted = true;
    FPageNumber = 0;
}

TCanvas* TPrinter::Canvas() { return FCanvas.get(); }

TStrings* TPrinter::Fonts()
{
    ListInstalledFonts(FFonts, true);
    return &FFonts;
}
