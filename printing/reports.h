#pragma once
// The list reports of the current client, printed on the desktop printer or,
// while the main window's Preview is on, shown page by page in the report
// preview. The caller has run the print dialog already (or skipped it for a
// preview). Each run deletes the old page files first and leaves the tables it
// walks in the order, filter and record they had before.

#include "platform/rtl/stringlist.h"
#include "platform/rtl/types.h"

// "EMPLOYEE / 1099 RECIPIENT TRANSACTIONS": the transactions of the recipient
// RecipientID, the current record of the recipients' table, within a date range
// the user is asked for.
void PrintEmployeeTransactions(const String& RecipientID);
// "EMPLOYEE TRANSACTION TOTALS": one line of sums per recipient, in ID order,
// within a date range the user is asked for.
void PrintEmployeeTotals();
// The two range reports over a range already asked for: the dates as typed,
// "mm-dd-yyyy", either "" to take every transaction. Raises EConvertError, before
// anything has started, for a text that is no date.
void ListEmployeeTransactions(const String& RecipientID, const String& From, const String& To);
void ListEmployeeTotals(const String& From, const String& To);
// "E-FILE REJECT LISTING": one line per text of List.
void PrintEFileRejects(TStrings* List);
