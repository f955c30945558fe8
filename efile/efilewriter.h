#pragma once
// The electronic file of the current client for the tax authority's filing
// system: one transmitter and one payer record, a payee record for each recipient
// of the kind filed, the end-of-payer and end-of-transmission records. The file is
// written beside its final name and renamed into place when complete, so a failed
// run never leaves a cut file; items the file lacks are listed, never a stop.

#include <functional>

#include "app/clientdatabase.h"

// The file's name: the transmitter data's replacement file name, or ELF1099.
String ElectronicFileName(const TDClientDataBase& Data);

// Writes the electronic file of the client open in Data (tblClient on the payer,
// tblEmployee open, the transmitter data loaded) to Path, starting the
// missing-items list anew. Step is called after each record and recipient row.
// Recipients filed by their social security number without a last name get the
// last word of their name stored as LAST once the file is complete. Returns the
// number of payee records written. Table and file errors end the run, leaving no
// file at Path.
int BuildElectronicFile(TDClientDataBase& Data, const String& Path, const std::function<void()>& Step);

// The run of "Electronically File" for the current client: the file with its
// progress form, then the offer of the logon page, or of the missing items when
// some are.
void WriteElectronicFile();
// "Electronically File" itself: the transmitter form, then the run, whatever the
// form's result.
void ElectronicallyFile();
