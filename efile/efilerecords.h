#pragma once
// The records of the information-return file: transmitter (T), payer (A), one
// payee (B) per recipient filed, end of payer (C) and end of transmission (F).
// Each is 748 positions followed by CR LF. Records are built from plain values;
// the checks of the required items run as their fields are laid down, so the
// missing-items list follows the records' positions.

#include <array>

#include "platform/rtl/types.h"

class TDClientDataBase;

constexpr int EFileRecordLength = 748;

// One run files one kind of return: 1099-MISC, or 1099-INT when the transmitter
// data's Interest1099 is exactly "Y".
enum class TReturnKind { Misc, Interest };
TReturnKind ReturnKind(const TDClientDataBase& Transmitter);

// The payer: the client's record, as text.
struct TPayer {
    String Name1, Name2, Address1, City, State, Zip, TaxID, SSN, Telephone;
};

// A recipient row, as text, with its amounts taken once as whole cents.
struct TPayee {
    String Name1, Last, TaxID, SSN, Address, City, State, Zip, TransType, DirSales;
    Int64 Total = 0;
    Int64 FederalWithheld = 0;
    Int64 StateWithheld = 0;
};

// The fourteen payment amounts 1-9 and A-E, in cents.
using TPaymentAmounts = std::array<Int64, 14>;

// Whether the row is of the kind filed: "I" rows in a 1099-INT file, all others
// in a 1099-MISC file.
bool IsFiled(const TPayee& Payee, TReturnKind Kind);
// The row's payment amounts as the file writes them: the file carries no sign, so
// a negative amount is written as its magnitude (and listed as unfileable).
TPaymentAmounts PaymentAmounts(const TPayee& Payee, TReturnKind Kind);

// The amount codes and the control totals over the rows filed.
class TPayeeSummary {
public:
    explicit TPayeeSummary(TReturnKind Kind) : FKind(Kind) { }
    // Rows of the other kind are passed over.
    void Add(const TPayee& Payee);
    // The codes of the amounts in use, in the order 1-8, A-C; a code counts even
    // when its amounts add up to zero.
    String AmountCodes() const;
    int Payees() const { return FPayees; }
    // Sums of the amounts as written.
    const TPaymentAmounts& Totals() const { return FTotals; }

private:
    TReturnKind FKind;
    int FPayees = 0;
    TPaymentAmounts FTotals {};
    std::array<bool, 14> FUsed {};
};

// Upper case, then only A-Z, 0-9 and blanks, each where it stands.
String FilterEFileText(const String& Text);
// Twelve digits of cents, zero-filled on the left; the sign is not written.
String FormatEFileAmount(Int64 Cents);

// The records, each 748 positions and CR LF. The transmitter's fields come from
// the data module's transmitter data.
String TransmitterRecord(const TDClientDataBase& Transmitter, const TPayer& Payer, int Payees);
String PayerRecord(const TDClientDataBase& Transmitter, const TPayer& Payer, const String& AmountCodes);
String PayeeRecord(const TPayee& Payee, TReturnKind Kind, int Sequence);
String EndOfPayerRecord(int Payees, const TPaymentAmounts& Totals, int Sequence);
String EndOfTransmissionRecord(int Payees, int Sequence);
