#pragma once
// The program as the printing benchmarks run it: started offscreen in a scratch
// directory, on one new client whose payer is filled in.

#include <cstdlib>

#include "app/clientdatabase.h"
#include "app/mainform.h"
#include "app/user.h"
#include "platform/vcl/forms/application.h"

// Starts the program in Dir and opens the new client ClientID with its payer's
// name and address.
inline void StartProgramOnNewClient(const String& Dir, const String& ClientID)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TFMain::ProgramDirOverride = Dir;
    Application->CreateForm(FMain);
    FMain->User->ClientID = ClientID;
    DClientDataBase->CreateClientTables(ClientID);
    DClientDataBase->OpenClient();
    TDaroruTable* client = DClientDataBase->tblClient;
    client->Edit();
    for (const auto& [field, value] : {std::pair {"NAME1", "Harbor Supply Co"},
                                       {"ADDRESS1", "12 Harbor Road"},
                                       {"CITY", "New Bedford"},
                                       {"STATE", "MA"},
                                       {"ZIP", "02740"},
                                       {"TAX_ID", "12-3456789"}})
        client->FieldByName(field)->SetAsString(value);
    client->Post();
}
