// Printing of the rich edit's text: a copy of the document is laid out in pages of the
// text rectangle's size and drawn page by page on the printer.

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>

#include <memory>

#include "platform/richedit/richedit.h"
#include "platform/richedit/rtfformat.h"
#include "platform/vcl/printing/printers.h"

int TCustomRichEdit::PrintPages(TPrinter& Printer, const TRect& R) const
{
    if (!Printer.Printing())
        throw EPrinter("Printer is not currently printing");
    if (R.Width() <= 0 || R.Height() <= 0)
        throw EPrinter("The page has no room for the text");
    const std::unique_ptr<QTextDocument> pages(Document()->clone());
    pages->setDocumentMargin(0);
    // The copy is laid out in layout pixels and drawn scaled to the printer's resolution.
    const QSizeF page(R.Width() / rtf::TwipsPerPixel, R.Height() / rtf::TwipsPerPixel);
    pages->setPageSize(page);
    const int count = std::max(1, pages->pageCount());
    const double scale = Printer.Resolution() * rtf::TwipsPerPixel / rtf::TwipsPerInch;
    QPainter& painter = *Printer.Canvas()->Painter();
    for (int index = 0; index < count; ++index) {
        if (index > 0)
            Printer.NewPage();
        const QRectF shown(0, index * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(R.Left * Printer.Resolution() / double(rtf::TwipsPerInch),
                          R.Top * Printer.Resolution() / double(rtf::TwipsPerInch));
        painter.scale(scale, scale);
        painter.translate(0, -shown.top());
        painter.setClipRect(shown);
        // Lines that only touch the page's edges belong to the pages next to it: a
        // clipped line would still be in the file's text.
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = shown.adjusted(0, 0.5, 0, -0.5);
        pages->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    return count;
}

void TCustomRichEdit::Print(const String& Caption)
{
    TPrinter& printer = *::Printer();
    const int dpi = printer.Resolution();
    const TRect pixels = FPageRect.Width() > 0 && FPageRect.Height() > 0
                                 ? FPageRect
                                 : TRect {0, 0, printer.PageWidth(), printer.PageHeight()};
    const auto toTwips = [dpi](int Pixels) {
        return static_cast<int>(Int64(Pixels) * rtf::TwipsPerInch / dpi);
    };
    PrintJob(Caption, TRect {toTwips(pixels.Left), toTwips(pixels.Top), toTwips(pixels.Right),
                             toTwips(pixels.Bottom)});
}

void TCustomRichEdit::PrintJob(const String& Caption, const TRect& R) const
{
    TPrinter& printer = *::Printer();
    printer.SetTitle(Caption);
    printer.BeginDoc();
    try {
        PrintPages(printer, R);
    } catch (...) {
        printer.Abort();
        throw;
    }
    printer.EndDoc();
}
