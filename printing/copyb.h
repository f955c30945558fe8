#pragma once
// Copy B (for the recipient), Copy 1 (for the state tax department) and Copy 2
// (for the recipient's state tax return) of one recipient's Form 1099-INT
// (income type "I") or 1099-MISC (any other): one page with the form's image
// and the same recipient's form on it three (1099-INT) or two (1099-MISC) times.
// The recipient is the current record of the client's recipients, the payer the
// client.

#include "platform/rtl/types.h"

// RecipientID only names the PDF file of a PDF run; EInvalidID, before anything
// is printed, when it cannot.
void PrintCopyB(const String& RecipientID);
void PrintCopy1(const String& RecipientID);
void PrintCopy2(const String& RecipientID);
