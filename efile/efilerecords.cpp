#include "efile/efilerecords.h"

#include <cstdlib>
#include <stdexcept>

#include "app/clientdatabase.h"
#include "efile/missingitems.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/texthelpers.h"

namespace {

const char* const PaymentYear = "2008";

// The software vendor block of the transmitter record (positions 519-704).
struct TVendor {
    const char* Name;
    const char* Address;
    const char* City;
    const char* State;
    const char* Zip;
    const char* ContactName;
    const char* ContactPhone;
};
constexpr TVendor Vendor {"KORVANE SYSTEMS INC", "1099 LEDGER LANE", "SPRINGFIELD", "IL",
                          "627011099",           "SOFTWARE SUPPORT", "2175550199"};

// Slots of the payment amounts 1-9, A-E; income type letter -> slot in a 1099-MISC file.
constexpr const char* AmountCodeLetters = "123456789ABCDE";
constexpr int InterestSlot = 0;
constexpr int FederalWithheldSlot = 3;
int MiscSlot(const String& TransType)
{
    static const String letters = "RYO?FMNP?CGA";  // slots 1-9, A-C; "?" marks 4 and 9
    if (TransType.size() != 1 || TransType == "?")
        return -1;
    const auto slot = letters.find(TransType[0]);
    return slot == String::npos ? -1 : static_cast<int>(slot);
}

// The plain ASCII letters of a Windows-1252 byte from 0x80 on ("" for none).
const char* PlainLetters(unsigned char C)
{
    static const char* const Latin1[64] = {
            "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I",  "I",   // C0
            "D", "N", "O", "O", "O", "O", "O",  "",  "O", "U", "U", "U", "U", "Y", "TH", "ss",  // D0
            "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",   // E0
            "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y",   // F0
    };
    if (C >= 0xC0)
        return Latin1[C - 0xC0];
    switch (C) {
    case 0x8A: return "S";
    case 0x8C: return "OE";
    case 0x8E: return "Z";
    case 0x9A: return "s";
    case 0x9C: return "oe";
    case 0x9E: return "z";
    case 0x9F: return "Y";
    default: return "";
    }
}

// The file carries printable ASCII only: accented letters become their plain
// letters and every other byte outside it is dropped.
String AsciiText(const String& Text)
{
    String result;
    for (const char c : Text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F)
            result += c;
        else if (byte >= 0x80)
            result += PlainLetters(byte);
    }
    return result;
}

// Value in exactly Width digits, zero-filled on the left.
String ZeroFilled(Int64 Value, int Width)
{
    String digits = IntToStr(std::llabs(Value));
    if (static_cast<int>(digits.size()) > Width)
        throw std::out_of_range("the number " + digits + " does not fit its field of the electronic file");
    return String(Width - digits.size(), '0') + digits;
}

// -25.00
String CentsText(Int64 Cents)
{
    String cents = IntToStr(std::llabs(Cents));
    if (cents.size() < 3)
        cents.insert(0, 3 - cents.size(), '0');
    return String(Cents < 0 ? "-" : "") + LeftChars(cents, static_cast<int>(cents.size()) - 2) + "." +
           RightChars(cents, 2);
}

// The value, after recording it as missing when it is empty.
const String& Required(const String& Value, const String& Label)
{
    AddMissingItem(Value, Label);
    return Value;
}

// A taxpayer identification number that is there must have nine digits.
const String& Tin(const String& Value, const String& Label)
{
    if (!Value.empty() && DigitsOnly(Value).size() != 9)
        AddUnfileableItem(Label + " must have 9 digits");
    return Value;
}

// A ZIP code that is there must have five or nine digits.
const String& Zip(const String& Value, const String& Label)
{
    const auto digits = DigitsOnly(Value).size();
    if (!Value.empty() && digits != 5 && digits != 9)
        AddUnfileableItem(Label + " must have 5 or 9 digits");
    return Value;
}

const String& Flag(const String& Value)
{
    static const String yes = "1", no = " ";
    return Value == "Y" ? yes : no;
}

// A business is named by the first four letters and digits of its name, a leading
// "THE" dropped only when more follows it.
String BusinessNameControl(const String& Name)
{
    const String control = NameControl(Name);
    return control.empty() ? LeftChars(KeepLettersDigits(UpperCase(Name), ""), 4) : control;
}

// One record: fields appended in position order.
class TRecord {
public:
    explicit TRecord(const char* Type) : FText(Type) { FText.reserve(EFileRecordLength + 2); }

    TRecord& Fixed(const String& Literal)
    {
        FText += Literal;
        return *this;
    }
    TRecord& Blank(int Width)
    {
        FText.append(static_cast<size_t>(Width), ' ');
        return *this;
    }
    TRecord& Text(const String& Value, int Width) { return Fixed(FixedWidthText(AsciiText(Value), Width)); }
    TRecord& Filtered(const String& Value, int Width)
    {
        return Fixed(FixedWidthText(FilterEFileText(Value), Width));
    }
    // The digits of Value, left-justified; digits that do not all fit are never cut
    // to another number: the field is left blank.
    TRecord& Digits(const String& Value, int Width)
    {
        const String digits = DigitsOnly(Value);
        return static_cast<int>(digits.size()) > Width ? Blank(Width) : Fixed(FixedWidthText(digits, Width));
    }
    // A taxpayer identification number of other than nine digits is written as not
    // available (blank); the missing-items list names it.
    TRecord& TinDigits(const String& Value)
    {
        const String digits = DigitsOnly(Value);
        return digits.size() == 9 ? Fixed(digits) : Blank(9);
    }
    TRecord& Count(Int64 Value) { return Fixed(ZeroFilled(Value, 8)); }
    TRecord& Amount(Int64 Cents) { return Fixed(FormatEFileAmount(Cents)); }
    TRecord& Total(Int64 Cents) { return Fixed(ZeroFilled(Cents, 18)); }

    // The whole record upper-cased, with CR LF.
    String Finish() const
    {
        if (FText.size() != EFileRecordLength)
            throw std::logic_error("electronic file record " + FText.substr(0, 1) + " has " +
                                   IntToStr(static_cast<Int64>(FText.size())) + " positions");
        return AnsiUpperCase(FText) + "\r\n";
    }

private:
    String FText;
};

}  // namespace

TReturnKind ReturnKind(const TDClientDataBase& Transmitter)
{
    return Transmitter.Interest1099 == "Y" ? TReturnKind::Interest : TReturnKind::Misc;
}

bool IsFiled(const TPayee& Payee, TReturnKind Kind)
{
    return (Payee.TransType == "I") == (Kind == TReturnKind::Interest);
}

TPaymentAmounts PaymentAmounts(const TPayee& Payee, TReturnKind Kind)
{
    TPaymentAmounts amounts {};
    const int slot = Kind == TReturnKind::Interest ? InterestSlot : MiscSlot(Payee.TransType);
    if (slot >= 0)
        amounts[slot] = std::llabs(Payee.Total);
    amounts[FederalWithheldSlot] = std::llabs(Payee.FederalWithheld);
    return amounts;
}

void TPayeeSummary::Add(const TPayee& Payee)
{
    if (!IsFiled(Payee, FKind))
        return;
    ++FPayees;
    const TPaymentAmounts amounts = PaymentAmounts(Payee, FKind);
    for (size_t i = 0; i < amounts.size(); ++i)
        FTotals[i] += amounts[i];
    const int slot = FKind == TReturnKind::Interest ? InterestSlot : MiscSlot(Payee.TransType);
    if (slot >= 0)
        FUsed[slot] = true;
    if (Payee.FederalWithheld != 0)
        FUsed[FederalWithheldSlot] = true;
}

String TPayeeSummary::AmountCodes() const
{
    String codes;
    for (size_t i = 0; i < FUsed.size(); ++i) {
        if (FUsed[i])
            codes += AmountCodeLetters[i];
    }
    return codes;
}

String FilterEFileText(const String& Text)
{
    return KeepChars(AnsiUpperCase(Text), "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890 ");
}

String FormatEFileAmount(Int64 Cents) { return ZeroFilled(Cents, 12); }

String TransmitterRecord(const TDClientDataBase& T, const TPayer& Payer, int Payees)
{
    return TRecord("T")
            .Fixed(PaymentYear)
            .Blank(1)
            .TinDigits(Tin(Required(T.TransmitterTIN, "Transmitter TIN"), "Transmitter TIN"))  // 7-15
            .Text(Required(T.ControlCode, "Transmitter Code"), 5)                              // 16-20
            .Blank(7)
            .Blank(1)  // 28: test file indicator
            .Fixed(Flag(T.ForeignEntity))
            .Filtered(Required(T.TransmitterName, "Transmitter Name"), 40)  // 30-69
            .Blank(40)
            .Filtered(Required(Payer.Name1, "Company Name"), 40)  // 110-149
            .Filtered(Payer.Name2, 40)
            .Filtered(Required(Payer.Address1, "Company Address"), 40)  // 190-229
            .Filtered(Required(Payer.City, "Company City"), 40)
            .Text(Required(Payer.State, "Company State"), 2)  // 270-271
            .Digits(Zip(Required(Payer.Zip, "Company Zip Code"), "Company Zip Code"), 9)
            .Blank(15)
            .Count(Payees)  // 296-303
            .Filtered(Required(T.ContactName, "Contact Name"), 40)
            .Digits(Required(T.ContactPhone, "Contact Phone Number"), 15)  // 344-358
            .Text(T.ContactEmail, 50)
            .Blank(91)
            .Count(1)  // 500-507
            .Blank(10)
            .Fixed("V")  // 518
            .Text(Vendor.Name, 40)
            .Text(Vendor.Address, 40)
            .Text(Vendor.City, 40)
            .Text(Vendor.State, 2)
            .Text(Vendor.Zip, 9)
            .Text(Vendor.ContactName, 40)
            .Text(Vendor.ContactPhone, 15)  // 690-704
            .Blank(44)
            .Finish();
}

String PayerRecord(const TDClientDataBase& T, const TPayer& Payer, const String& AmountCodes)
{
    const bool bySSN = Payer.TaxID.empty() && !Payer.SSN.empty();
    const String& tin = bySSN ? Payer.SSN : Payer.TaxID;
    const String tinLabel = bySSN ? "Payer's SSN" : "Payer's Identification Number";
    return TRecord("A")
            .Fixed(PaymentYear)
            .Blank(6)
            .TinDigits(Tin(Required(tin, tinLabel), tinLabel))  // 12-20
            .Text(NameControl(Payer.Name1), 4)
            .Fixed(Flag(T.LastFiling))  // 25
            .Blank(1)
            .Fixed(ReturnKind(T) == TReturnKind::Interest ? "6" : "A")  // 27
            .Text(AmountCodes, 14)
            .Blank(10)
            .Fixed(Flag(T.ForeignEntity))  // 52
            .Filtered(Required(Payer.Name1, "Payer/Company Name"), 40)
            .Filtered(Payer.Name2, 40)
            .Fixed("0")  // 133: transfer agent indicator
            .Filtered(Required(Payer.Address1, "Payer / Company Address"), 40)
            .Filtered(Required(Payer.City, "Payer / Company City"), 40)
            .Text(Required(Payer.State, "Payer / Company State"), 2)  // 214-215
            .Digits(Zip(Required(Payer.Zip, "Payer / Company Zip Code"), "Payer / Company Zip Code"), 9)
            .Digits(Payer.Telephone, 15)  // 225-239
            .Blank(260)
            .Count(2)  // 500-507
            .Blank(241)
            .Finish();
}

String PayeeRecord(const TPayee& P, TReturnKind Kind, int Sequence)
{
    const bool byEIN = !P.TaxID.empty();
    const String& name = P.Name1;
    const String tin = byEIN ? P.TaxID : P.SSN;
    AddMissingItem(P.TaxID + P.SSN, name + " EIN and SSN ");
    Tin(tin, name + " TIN");
    const std::pair<Int64, const char*> signedAmounts[] = {
            {P.Total, " Total"},
            {P.FederalWithheld, " Federal Tax Withheld"},
            {Kind == TReturnKind::Misc ? P.StateWithheld : 0, " State Tax Withheld"},
    };
    for (const auto& [cents, label] : signedAmounts) {
        if (cents < 0)
            AddUnfileableItem(name + label + " of " + CentsText(cents) + " must not be negative");
    }

    TRecord record("B");
    record.Fixed(PaymentYear)
            .Blank(1)
            .Text(byEIN ? BusinessNameControl(name) : NameControl(P.Last), 4)  // 7-10
            .Fixed(byEIN ? "1" : "2")
            .TinDigits(tin)  // 12-20
            .Blank(34);
    for (const Int64 cents : PaymentAmounts(P, Kind))
        record.Amount(cents);  // 55-222
    const bool misc = Kind == TReturnKind::Misc;
    return record.Blank(25)
            .Filtered(Required(name, name + " Name"), 40)  // 248-287
            .Blank(80)
            .Filtered(Required(P.Address, name + " Address"), 40)  // 368-407
            .Blank(40)
            .Filtered(Required(P.City, name + " City"), 40)  // 448-487
            .Text(Required(P.State, name + " State"), 2)
            .Digits(Zip(Required(P.Zip, name + " Zip Code"), name + " Zip Code"), 9)  // 490-498
            .Blank(1)
            .Count(Sequence)  // 500-507
            .Blank(39)
            .Fixed(misc && P.DirSales == "Y" ? "1" : " ")  // 547: direct sales
            .Blank(175)
            .Amount(misc ? std::llabs(P.StateWithheld) : 0)  // 723-734
            .Amount(0)                                       // 735-746: local tax withheld
            .Blank(2)
            .Finish();
}

String EndOfPayerRecord(int Payees, const TPaymentAmounts& Totals, int Sequence)
{
    TRecord record("C");
    record.Count(Payees).Blank(6);
    for (const Int64 cents : Totals)
        record.Total(cents);  // 16-267
    return record.Blank(232).Count(Sequence).Blank(241).Finish();
}

String EndOfTransmissionRecord(int Payees, int Sequence)
{
    return TRecord("F")
            .Fixed("00000001")
            .Fixed(String(21, '0'))
            .Blank(19)
            .Count(Payees)  // 50-57
            .Blank(442)
            .Count(Sequence)
            .Blank(241)
            .Finish();
}
