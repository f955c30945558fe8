#include "tests/maintenance/recipientformsfixture.h"

#include <cstdio>
#include <cstdlib>

#include "maintenance/employeestart.h"
#include "platform/rtl/strutils.h"

void RecipientFormsFixture::SetUp()
{
    ShellFixture::SetUp();
    StartMain();
    MakeClient(ClientID, "ACME SUPPLY");
    FMain->User->ClientID = ClientID;
    MenuForms.EmployeeStart = ShowEmployeeStart;
    StartMenu();
    ASSERT_TRUE(DClientDataBase->tblEmployee->Active());
}

void RecipientFormsFixture::AddRecipient(const String& ID, const String& Name)
{
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    recipients->Append();
    recipients->FieldByName("ID")->SetAsString(ID);
    recipients->FieldByName("NAME1")->SetAsString(Name);
    recipients->FieldByName("LAST")->SetAsString(ExtractLastName(Name));
    recipients->Post();
}

void RecipientFormsFixture::AddTransactions(const String& EmpID, int Count)
{
    TDaroruTable* transactions = DClientDataBase->tblTransactions;
    for (int i = 0; i < Count; ++i) {
        transactions->Append();
        transactions->FieldByName("EMP_ID")->SetAsString(EmpID);
        transactions->FieldByName("AMOUNT")->SetAsFloat(10);
        transactions->Post();
    }
}

std::vector<String> RecipientFormsFixture::RecipientIDs()
{
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    const int order = recipients->IndexOrd();
    recipients->SetOrder(0);
    std::vector<String> ids;
    for (recipients->First(); !recipients->Eof(); recipients->Next())
        ids.push_back(Trim(recipients->FieldByName("ID")->AsString()));
    recipients->SetOrder(order);
    return ids;
}

String RecipientFormsFixture::RecipientField(const String& ID, const char* Field)
{
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    for (recipients->First(); !recipients->Eof(); recipients->Next())
        if (Trim(recipients->FieldByName("ID")->AsString()) == ID)
            return recipients->FieldByName(Field)->AsString();
    return "<none>";
}

String RecipientFormsFixture::CurrentID()
{
    return Trim(DClientDataBase->tblEmployee->FieldByName("ID")->AsString());
}

std::vector<String> RecipientFormsFixture::TransactionIDsOnDisk() const
{
    DClientDataBase->CloseClient();
    const String script = "import sys, dbfread\n"
                          "for r in dbfread.DBF(sys.argv[1], encoding='cp1252'):\n"
                          "    print(r['EMP_ID'])\n";
    setenv("RECIPIENT_SCRIPT", script.c_str(), 1);
    const String command =
            "/usr/bin/python3 -c \"$RECIPIENT_SCRIPT\" '" + Dir / ClientID + "/TOTTRANS.DBF' 2>&1";
    std::vector<String> ids;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, pipe))
            ids.push_back(Trim(String(line)));
        pclose(pipe);
    }
    return ids;
}

TColor PixelColor(const QImage& Image, int X, int Y)
{
    const QColor c = Image.pixelColor(X, Y);
    return static_cast<TColor>(c.red() | (c.green() << 8) | (c.blue() << 16));
}
