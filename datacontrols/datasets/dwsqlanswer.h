#pragma once
// The answer of an SQL statement as a table: the statement runs on the local SQL
// engine over the tables of a directory, and its rows are written to a new table
// file that a table data set can open in place of a table name.

#include "platform/rtl/types.h"

// Runs the SELECT Sql over every table of Directory, each known by its name without
// the extension, and writes the rows to a new table at AnswerPath (a path without
// an extension). A column becomes a field a table can hold: its name upper-cased,
// characters other than letters, digits and "_" as "_", cut to ten characters and
// numbered where two would meet; numbers become numeric fields, dates date fields,
// logical values logical fields, memos memo fields and anything else text. A
// statement the engine refuses raises its message.
void dwWriteSqlAnswer(const String& Directory, const String& Sql, const String& AnswerPath);
