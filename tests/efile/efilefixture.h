#pragma once
// A client of the electronic-filing tests: the program started in a fresh
// directory, one client open with its payer record, recipients added row by row
// and complete transmitter data. Files a test writes are kept for a reviewer under
// the artifact directory, and compared with their golden copies in the repository.

#include <initializer_list>
#include <vector>

#include "app/user.h"
#include "tests/support/shellfixture.h"

// One recipient row; amounts in dollars as the table keeps them.
struct TRecipientRow {
    const char* ID;
    const char* Name1;
    const char* Last;
    const char* TaxID;
    const char* SSN;
    const char* Address;
    const char* City;
    const char* State;
    const char* Zip;
    const char* TransType;
    const char* DirSales;
    double Total;
    double Fwt = 0;
    double Swt1 = 0;
    double Swt2 = 0;
};

class EFileFixture : public ShellFixture {
protected:
    void SetUp() override;

    // A payer with every field the file needs.
    static TPayerRow CompletePayer();
    void AddRecipients(std::initializer_list<TRecipientRow> Rows);
    // Transmitter and contact data with every item the file needs, for 1099-MISC.
    void SetCompleteTransmitter();

    String ClientDir() const;
    // Writes the current client's file and returns its bytes.
    String BuildFile();
    // Copies the file to the artifact directory under Case and compares it with the
    // golden copy tests/efile/golden/<Case>/<name>. With TOTAMUND_UPDATE_GOLDEN set
    // in the environment the golden copy is written instead.
    void ExpectGolden(const String& Case, const String& FileName, const String& Bytes);
};
