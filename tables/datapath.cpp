#include "tables/datapath.h"

#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "tables/droenv.h"
#include "tables/drosearch.h"

TDaroruDatabase* FindDatabaseByAlias(const String& Alias)
{
    TDaroruSearchObject search;
    for (TComponent* c = search.SearchFirstComponent("TDaroruDataBase"); c;
         c = search.SearchNextComponent("TDaroruDataBase"))
        if (auto* database = dynamic_cast<TDaroruDatabase*>(c);
            database && SameText(database->DataPathAlias(), Alias))
            return database;
    return nullptr;
}

bool NamesPath(const String& DatabaseName)
{
    // A Linux path names itself with "/" as a Windows one does with "\" or ":".
    return DatabaseName.find_first_of("\\/:.") != String::npos;
}

String ResolveDataPath(const String& DatabaseName, const std::function<TDaroruDatabase*()>& Database)
{
    String path;
    if (NamesPath(DatabaseName))
        path = DatabaseName;
    else if (TDaroruDatabase* database = Database())
        path = database->DataPath();
    path = NormalizePath(Trim(path));
    if (path.empty() || path[0] != '/')
        path = ExpandFileName(ProgramDir() + path);
    return IncludeTrailingPathDelimiter(path);
}
