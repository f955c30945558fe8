#pragma once
// The shell with the client forms behind the main menu, and a second process that
// holds a table open as another workstation would.

#include "maintenance/clientbasic.h"
#include "maintenance/clientselection.h"
#include "platform/rtl/strutils.h"
#include "tests/support/peerprocess.h"
#include "tests/support/shellfixture.h"

// Another workstation: a process holding Table (a full file name) open, shared or
// exclusively, until it is destroyed.
class TOtherWorkstation {
public:
    TOtherWorkstation(const String& Table, bool Exclusive);

private:
    Peer FPeer;
};

class ClientFormsFixture : public ShellFixture {
protected:
    void SetUp() override;

    // The pick list's rows as "ID|NAME|PATH", in ID order.
    static std::vector<String> PickList();
    // Adds rows to the pick list without client tables behind them.
    static void AddPickListRows(const std::vector<std::pair<String, String>>& Rows);
    // A client with its tables and its pick-list row.
    static void MakeListedClient(const String& ID, const String& Name);
    // The current client's payer field.
    static String Payer(const char* Field);
};
