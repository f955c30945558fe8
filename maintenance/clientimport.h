#pragma once
// The import of a client's basic data from the maker's sibling programs (money
// management, payroll, general ledger): their client lists are gathered in the work
// table TEMPBASIC of the program directory, the user picks one client there, and its
// name, address, telephone and tax number go into the current client's CLIENT row.
// The sibling programs' tables are only read.

#include <functional>

#include "platform/rtl/types.h"

class TDaroruTable;

// Gathers the clients into WorkTable (TEMPBASIC, ordered by ID) through
// SourceTable, runs Choose, which shows WorkTable and is true when the user picked
// a row, and copies the picked client into the CLIENT row, which must be in edit
// state and is not posted. The work table's files are removed again on every road.
// A problem with a sibling table is told in a message and changes nothing.
void ImportClientBasic(TDaroruTable* WorkTable, TDaroruTable* SourceTable,
                       const std::function<bool()>& Choose);
