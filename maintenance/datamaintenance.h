#pragma once
// Keeping the client data in order: rebuilding the current client's index files,
// rebuilding the client pick list from the client directories, backing a client's
// tables up to a directory and restoring them from one. Each operation closes the
// current client's tables before it touches files and opens the current client
// again at the end, whatever happened in between; it tells the user its outcome in
// message boxes.

#include "platform/rtl/types.h"

class TCustomForm;
class TDaroruTable;

// The directory the user chooses in the directory dialog titled Title, whose typed
// path starts as Typed; false when the dialog was closed without one. The answer
// keeps its case and ends with "/".
bool ChooseDirectory(const String& Title, const String& Typed, String& Dir);

// Rebuilds the current client's index files.
void ReindexCurrentClient();

// Makes the pick list afresh: one row per directory of the data directory that holds
// a client's CLIENT.DBF and whose name is a client ID. Progress shows in Form's
// caption, which is restored at the end; Reader is the table used to read each
// client's payer. The list is left open when it was open before.
void ReconstructClientList(TCustomForm* Form, TDaroruTable* Reader);

// Copies the current client's three tables into a directory named by its ID under
// the directory the user chooses; nothing happens when the user chooses none.
void BackupClient();
// The same into Root + client ID.
void BackupClientTo(const String& Root);

// Copies a backed-up client's three tables from the directory the user chooses into
// the data directory, makes it the current client and enters it in the pick list;
// nothing happens when the user chooses no directory. Reader opens the backed-up
// payer file.
void RestoreClient(TDaroruTable* Reader);
// The same from Root.
void RestoreClientFrom(const String& Root, TDaroruTable* Reader);
