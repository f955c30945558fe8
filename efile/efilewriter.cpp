#include "efile/efilewriter.h"

#include <cmath>
#include <vector>

#include "app/mainform.h"
#include "app/smalldialogs.h"
#include "efile/efilerecords.h"
#include "efile/efilerejects.h"
#include "efile/missingitems.h"
#include "efile/transmitterinfo.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/texthelpers.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/win/launcher.h"

namespace {

// The filing system's logon page, offered once a complete file is written.
const char* const FireLogonPage = "https://fire.irs.gov";

const char* const DefaultFileName = "ELF1099";

String Text(TDataSet& Table, const char* Field) { return Table.FieldByName(Field)->AsString(); }

Int64 Cents(TDataSet& Table, const char* Field)
{
    return std::llround(Table.FieldByName(Field)->AsFloat() * 100.0);
}

TPayer ReadPayer(TDataSet& Client)
{
    return {Text(Client, "NAME1"),  Text(Client, "NAME2"), Text(Client, "ADDRESS1"),
            Text(Client, "CITY"),   Text(Client, "STATE"), Text(Client, "ZIP"),
            Text(Client, "TAX_ID"), Text(Client, "SSN"),   Text(Client, "TELEPHONE")};
}

TPayee ReadPayee(TDataSet& Row)
{
    TPayee payee {Text(Row, "NAME1"),      Text(Row, "LAST"),     Text(Row, "TAX_ID"), Text(Row, "SSN"),
                  Text(Row, "ADDRESS"),    Text(Row, "CITY"),     Text(Row, "STATE"),  Text(Row, "ZIP"),
                  Text(Row, "TRANS_TYPE"), Text(Row, "DIR_SALES")};
    payee.Total = Cents(Row, "TOTAMT");
    payee.FederalWithheld = Cents(Row, "FWT");
    payee.StateWithheld = Cents(Row, "SWT1");
    return payee;
}

// The amount codes, count and control totals over every row of the recipients.
TPayeeSummary SumPayeeAmounts(TDataSet& Recipients, TReturnKind Kind)
{
    TPayeeSummary summary(Kind);
    for (Recipients.First(); !Recipients.Eof(); Recipients.Next())
        summary.Add(ReadPayee(Recipients));
    return summary;
}

// A name that stays inside its directory: no separators, not "." or "..".
bool IsPlainFileName(const String& Name)
{
    return !Name.empty() && Name != "." && Name != ".." && Name.find_first_of("/\\") == String::npos;
}

}  // namespace

String ElectronicFileName(const TDClientDataBase& Data)
{
    return Data.ReplacementFileName.empty() ? String(DefaultFileName) : Data.ReplacementFileName;
}

int BuildElectronicFile(TDClientDataBase& Data, const String& Path, const std::function<void()>& Step)
{
    ResetMissingItems();
    const TReturnKind kind = ReturnKind(Data);
    const TPayer payer = ReadPayer(*Data.tblClient);
    TDaroruTable& recipients = *Data.tblEmployee;
    const TPayeeSummary summary = SumPayeeAmounts(recipients, kind);

    String file = TransmitterRecord(Data, payer, summary.Payees());
    Step();
    file += PayerRecord(Data, payer, summary.AmountCodes());
    Step();
    int sequence = 2;
    TPayeeSummary written(kind);
    // Stored once the file is complete: a changed LAST could move its row in
    // the active order while the rows are being read.
    std::vector<std::pair<TBookmark, String>> lastNames;
    for (recipients.First(); !recipients.Eof(); recipients.Next()) {
        TPayee payee = ReadPayee(recipients);
        if (IsFiled(payee, kind)) {
            if (payee.TaxID.empty() && payee.Last.empty()) {
                payee.Last = ExtractLastName(payee.Name1);
                if (!payee.Last.empty())
                    lastNames.emplace_back(recipients.GetBookmark(), payee.Last);
            }
            file += PayeeRecord(payee, kind, ++sequence);
            written.Add(payee);
        }
        Step();
    }
    file += EndOfPayerRecord(written.Payees(), written.Totals(), ++sequence);
    Step();
    file += EndOfTransmissionRecord(written.Payees(), ++sequence);
    Step();
    Step();
    if (!WriteFileAtomically(Path, file))
        throw EInOutError("Unable to write " + Path + ": the file is in use or cannot be replaced");

    for (const auto& [row, last] : lastNames) {
        recipients.GotoBookmark(row);
        recipients.Edit();
        recipients.FieldByName("LAST")->SetAsString(last);
        recipients.Post();
    }
    return written.Payees();
}

void WriteElectronicFile()
{
    TDClientDataBase& data = *DClientDataBase;
    const String name = ElectronicFileName(data);
    if (!IsPlainFileName(name)) {
        ShowMessage("The electronic file name \"" + name +
                    "\" cannot be used: give a file name without \"/\", \"\\\" or \"..\".");
        return;
    }
    const String path = data.ClientDir(FMain->User->ClientID) + name;
    {
        TStatusProgress progress("Processing...", data.tblEmployee->RecCount() + 5);
        progress.Step();
        BuildElectronicFile(data, path, [&progress] { progress.Step(); });
    }
    if (MissingItemsText.empty()) {
        const bool open =
                FileExists(path) && AskYesNo("Electronic file -- " + path +
                                             " -- has been created. Would you like to open IRS FIRE "
                                             "web site to E-File ?");
        if (open && !Launcher().ShellOpen(FireLogonPage))
            ShowMessage(String("No web browser could be started to open ") + FireLogonPage + ".");
    } else if (AskYesNo("Some required items have not been entered. Would you like to view missing items? "
                        "?")) {
        ShowEFileRejects(MissingItems());
    }
}

void ElectronicallyFile()
{
    ShowTransmitterInfo();
    WriteElectronicFile();
}
