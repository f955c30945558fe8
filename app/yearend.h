#pragma once
// The year-end update (the main menu's "YEU" command, TFTotStart::KVButton7Click)
// and the rebuild of the client pick list from the data directory, which other
// commands that add or remove whole clients use as well.

#include <functional>

#include "tables/drodset.h"

// Makes the pick list anew with one row per sub-directory of the data directory
// that holds a CLIENT.DBF, in name order: ID the directory's name, NAME the payer's
// NAME1, PATH the data directory followed by the name. Reader reads each payer
// table. Status is told each name as it is added. The current client is closed
// first and opened again at the end. False, with the list untouched, when the
// list's files are in use.
bool RebuildClientList(TDaroruTable* Reader, const std::function<void(const String& Step)>& Status);
