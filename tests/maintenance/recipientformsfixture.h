#pragma once
// A client with recipients and transactions, opened by the main menu as at start-up,
// with the recipient pick list behind the menu's command 02.

#include <QImage>

#include "tests/support/shellfixture.h"

class RecipientFormsFixture : public ShellFixture {
protected:
    void SetUp() override;

    // A recipient row as the forms leave it: LAST follows the name.
    static void AddRecipient(const String& ID, const String& Name);
    static void AddTransactions(const String& EmpID, int Count);
    // The trimmed IDs of the recipients in the file's order.
    static std::vector<String> RecipientIDs();
    // A field of the recipient ID, trimmed; "<none>" when there is no such recipient.
    static String RecipientField(const String& ID, const char* Field);
    // The ID of the recipient the list stands on.
    static String CurrentID();
    // The EMP_ID of every transaction, as an independent reader finds TOTTRANS.DBF on
    // disk (the client is closed first).
    std::vector<String> TransactionIDsOnDisk() const;

    static constexpr const char* ClientID = "08ACME";
};

// The colour of a pixel as the program names colours (blue, green, red from high to low).
TColor PixelColor(const QImage& Image, int X, int Y);
