#pragma once
// What a form routine does after its page: in a PDF run the page files become
// a PDF file named after the copy, in a preview run the page viewer opens over
// the run's pages; a printed page has already gone out.

#include <functional>

#include "platform/rtl/types.h"

// The page viewer and the PDF maker, as the program connects them at start.
// Unset, the step is skipped.
struct TFormPageHooks {
    // Collects the run's page files; Show opens the viewer over them.
    std::function<void(bool Show)> ViewPrintedPages;
    // Joins the collected pages (Kind 2: metafile pages) into Name + ".PDF".
    std::function<void(const String& Name, int Kind)> MakePdfFromPages;
};
extern TFormPageHooks FormPageHooks;

// In a PDF run, the PDF name of a copy: the client's directory, Stem
// ("COPYC1099INT_"), the recipient's ID when the copy is one recipient's, and
// today's date; "" in any other run. Raises EInvalidID when RecipientID cannot
// be part of a file name, so a routine asks for it before it prints.
String FormPdfName(const String& Stem, const String& RecipientID = String());

// The step after a page: a PDF under PdfName in a PDF run, the viewer in a
// preview run, nothing when printing.
void FinishFormPage(const String& PdfName);
