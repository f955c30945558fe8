#include "printing/formpages.h"

#include "app/clientdatabase.h"
#include "app/mainform.h"
#include "platform/rtl/texthelpers.h"

TFormPageHooks FormPageHooks;

namespace {

// The PDF maker's kind for pages that the viewer has turned into metafiles.
constexpr int MetafilePages = 2;

}  // namespace

String FormPdfName(const String& Stem, const String& RecipientID)
{
    if (!FMain->MakePdf)
        return String();
    if (!RecipientID.empty())
        CheckID(RecipientID);
    return DClientDataBase->ClientDir(FMain->User->ClientID) + Stem + RecipientID + TodayText();
}

void FinishFormPage(const String& PdfName)
{
    if (FMain->MakePdf) {
        if (FormPageHooks.ViewPrintedPages)
            FormPageHooks.ViewPrintedPages(false);
        if (FormPageHooks.MakePdfFromPages)
            FormPageHooks.MakePdfFromPages(PdfName, MetafilePages);
    } else if (FMain->Preview) {
        if (FormPageHooks.ViewPrintedPages)
            FormPageHooks.ViewPrintedPages(true);
    }
}
