#pragma once
// A table being defined (xb_CreateNew .. xb_CreateExec) and the writing of
// new, empty tables.

#include <vector>

#include "platform/rtl/types.h"
#include "platform/xbengine/dbfheader.h"

struct TableDefinition {
    String Path;  // the DBF to write
    String Alias;
    int TableType = 2;
    int Announced = 0;  // the field count given to xb_CreateNew
    std::vector<FieldDef> Fields;
    bool Failed = false;

    // Checks and adds a field; an invalid one fails with XBE_E_FIELD and
    // marks the definition failed.
    void AddField(const String& name, const String& type, int length, int decimals);
};

// Fails with XBE_E_IN_USE when the table or its index or memo file is open
// anywhere.
void RequireNotInUse(const String& dbfPath);
// Writes an empty table of that structure, replacing an old one, and removes
// a stale structural index and memo file. No partial file is left on failure.
void WriteEmptyTable(const String& dbfPath, int tableType, const std::vector<FieldDef>& fields,
                     int memoBlockSize);
