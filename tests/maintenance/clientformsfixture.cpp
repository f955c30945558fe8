#include "tests/maintenance/clientformsfixture.h"

#include <stdexcept>

TOtherWorkstation::TOtherWorkstation(const String& Table, bool Exclusive)
    : FPeer({"open", Table, Exclusive ? "2" : "0"})
{
    const String line = FPeer.Line();
    if (line.rfind("ready", 0) != 0)
        throw std::runtime_error("the other workstation could not open " + Table + ": " + line);
}

void ClientFormsFixture::SetUp()
{
    ShellFixture::SetUp();
    Application->Initialize();
    ForgetHeldInput();
    MenuForms.ClientBasic = ShowClientBasic;
    MenuForms.ClientSelection = ShowClientSelection;
}

std::vector<String> ClientFormsFixture::PickList()
{
    std::vector<String> rows;
    TDaroruTable* list = DClientDataBase->tblClientList;
    const bool wasOpen = list->Active();
    if (!wasOpen)
        DClientDataBase->OpenClientList();
    list->SetOrder(list->TagArea("ID"));
    for (list->First(); !list->Eof(); list->Next())
        rows.push_back(Trim(list->FieldByName("ID")->AsString()) + "|" +
                       Trim(list->FieldByName("NAME")->AsString()) + "|" +
                       Trim(list->FieldByName("PATH")->AsString()));
    if (!wasOpen)
        DClientDataBase->CloseClientList();
    return rows;
}

void ClientFormsFixture::AddPickListRows(const std::vector<std::pair<String, String>>& Rows)
{
    DClientDataBase->OpenClientList();
    TDaroruTable* list = DClientDataBase->tblClientList;
    for (const auto& [id, name] : Rows) {
        list->Append();
        list->FieldByName("ID")->SetAsString(id);
        list->FieldByName("NAME")->SetAsString(name);
        list->FieldByName("PATH")->SetAsString(FMain->DataDir + id);
        list->Post();
    }
    DClientDataBase->CloseClientList();
}

void ClientFormsFixture::MakeListedClient(const String& ID, const String& Name)
{
    MakeClient(ID, Name);
    AddPickListRows({{ID, Name}});
}

String ClientFormsFixture::Payer(const char* Field)
{
    return Trim(DClientDataBase->tblClient->FieldByName(Field)->AsString());
}
