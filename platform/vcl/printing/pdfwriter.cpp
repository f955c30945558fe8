#include "platform/vcl/printing/pdfwriter.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "platform/vcl/qt/qapp.h"
#include "platform/vcl/qt/qtext.h"

namespace {

// The smallest valid document: a catalogue over an empty page tree.
QByteArray EmptyDocument()
{
    QByteArray pdf = "%PDF-1.4\n";
    const qsizetype catalog = pdf.size();
    pdf += "1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n";
    const qsizetype pages = pdf.size();
    pdf += "2 0 obj\n<< /Type /Pages /Kids [] /Count 0 >>\nendobj\n";
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 3\n0000000000 65535 f \n";
    for (qsizetype offset : {catalog, pages})
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size 3 /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

}  // namespace

class TPdfWriter::TPageCanvas : public TCanvas {
public:
    explicit TPageCanvas(QPainter* Painter) { AttachPainter(Painter, Resolution); }
    ~TPageCanvas() override { DetachPainter(); }
};

struct TPdfWriter::TDocument {
    QFile File;
    QPdfWriter Writer {&File};
    QPainter Painter;
    bool Failed = false;  // the writer refused to start painting
};

TPdfWriter::TPdfWriter() = default;

TPdfWriter::~TPdfWriter()
{
    FCanvas.reset();
    if (FDocument && FDocument->Painter.isActive())
        FDocument->Painter.end();
}

bool TPdfWriter::Open(const String& FileName)
{
    Close();
    EnsureQApplication();
    FDocument = std::make_unique<TDocument>();
    FDocument->File.setFileName(ToQString(FileName));
    if (!FDocument->File.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        FDocument.reset();
        return false;
    }
    FDocument->Writer.setResolution(Resolution);
    FDocument->Writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    FPageCount = 0;
    return true;
}

bool TPdfWriter::IsOpen() const { return FDocument != nullptr; }

void TPdfWriter::NewPage(double WidthInches, double HeightInches)
{
    if (!FDocument)
        return;
    FCanvas.reset();
    QPdfWriter& writer = FDocument->Writer;
    writer.setPageSize(
            QPageSize(QSizeF(WidthInches, HeightInches), QPageSize::Inch, QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    // The first page begins with the painter; every later one is a new page of the writer.
    if (FPageCount == 0)
        FDocument->Failed = !FDocument->Painter.begin(&writer);
    else
        writer.newPage();
    ++FPageCount;
    FCanvas = std::make_unique<TPageCanvas>(&FDocument->Painter);
}

TCanvas* TPdfWriter::Canvas() { return FCanvas.get(); }

bool TPdfWriter::Close()
{
    if (!FDocument)
        return false;
    FCanvas.reset();
    if (FDocument->Painter.isActive())
        FDocument->Painter.end();
    else if (FPageCount == 0)
        FDocument->File.write(EmptyDocument());
    const bool written =
            !FDocument->Failed && FDocument->File.flush() && FDocument->File.error() == QFileDevice::NoError;
    FDocument->File.close();
    FDocument.reset();
    FPageCount = 0;
    return written;
}
