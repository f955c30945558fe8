#pragma once
// Where a table or a query finds its files: the directory its DatabaseName
// names.

#include <functional>

#include "platform/rtl/types.h"

class TDaroruDatabase;

// The database component whose alias is Alias (ignoring case), or null.
TDaroruDatabase* FindDatabaseByAlias(const String& Alias);

// A DatabaseName holding "\", "/", ":" or "." is a path; any other is an alias.
bool NamesPath(const String& DatabaseName);

// The directory DatabaseName names, normalised and ending with "/": a path as
// itself, an alias as the data path of its database (Database is asked only
// for an alias). An empty name, or an alias without a database or data path,
// names the program directory; a relative path is taken from the program
// directory too, never from the current one.
String ResolveDataPath(const String& DatabaseName, const std::function<TDaroruDatabase*()>& Database);
