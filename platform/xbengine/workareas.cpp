#include "platform/xbengine/workareas.h"

#include <cerrno>
#include <exception>

#include <strings.h>
#include <unistd.h>

#include "platform/rtl/fileops.h"
#include "platform/xbengine/engineerror.h"
#include "platform/xbengine/settings.h"
#include "platform/xbengine/tablepaths.h"
#include "platform/xbengine/xbe50.h"

WorkAreas& Areas()
{
    static WorkAreas areas;
    return areas;
}

WorkAreas::WorkAreas() : FTables(MaxAreas + 1), FDefinitions(MaxAreas + 1) { }

int WorkAreas::Select(int area)
{
    int previous = FSelected;
    FSelected = area;
    if (Table* left = area != previous ? At(previous) : nullptr)
        left->WriteWaitingAppend();
    return previous;
}

Table* WorkAreas::At(int area)
{
    if (area < 1 || area > MaxAreas)
        return nullptr;
    return FTables[area].get();
}

Table& WorkAreas::Current()
{
    Table& table = CurrentAsIs();
    table.WriteWaitingAppend();
    return table;
}

Table& WorkAreas::CurrentAsIs()
{
    Table* table = At(FSelected);
    if (!table)
        throw EEngineError(XBE_E_NO_AREA, "No table is open in work area " + std::to_string(FSelected));
    return *table;
}

TableDefinition& WorkAreas::Definition()
{
    if (FSelected < 1 || FSelected > MaxAreas || !FDefinitions[FSelected])
        throw EEngineError(XBE_E_NO_DEFINITION,
                           "No table definition is pending in work area " + std::to_string(FSelected));
    return *FDefinitions[FSelected];
}

int WorkAreas::FreeArea() const
{
    for (int area = 1; area <= MaxAreas; ++area)
        if (!FTables[area] && !FDefinitions[area])
            return area;
    throw EEngineError(XBE_E_LIMIT, "All " + std::to_string(MaxAreas) + " work areas are in use");
}

String WorkAreas::UniqueAlias(const String& alias, const String& path) const
{
    String name = alias.empty() ? ChangeFileExt(ExtractFileName(path), "") : alias;
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    if (Find(name) != 0)
        throw EEngineError(XBE_E_IN_USE, "The alias " + name + " is already in use");
    return name;
}

int WorkAreas::Use(const String& path, const String& alias, int mode, int tableType)
{
    if (tableType == 3)
        throw EEngineError(XBE_E_UNSUPPORTED, "Table type 3 is not supported: " + path);
    if (tableType != 1 && tableType != 2)
        throw EEngineError(XBE_E_UNSUPPORTED, "Unknown table type " + std::to_string(tableType));
    if (mode < omShared || mode > omExclusive)
        throw EEngineError(XBE_E_UNSUPPORTED, "Unknown open mode " + std::to_string(mode));
    String file = tablepaths::TableFile(path);
    String name = UniqueAlias(alias, file);
    int area = FreeArea();
    FTables[area] = std::make_unique<Table>(file, name, mode, tableType);
    Select(area);
    return area;
}

void WorkAreas::Close() { CloseArea(FSelected); }

void WorkAreas::CloseAll()
{
    std::exception_ptr failure;
    for (int area = 1; area <= MaxAreas; ++area) {
        try {
            CloseArea(area);
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

void WorkAreas::CloseArea(int area)
{
    if (area < 1 || area > MaxAreas)
        return;
    FDefinitions[area].reset();
    // The area closes even when the last flush fails; the failure is reported.
    std::unique_ptr<Table> table = std::move(FTables[area]);
    if (table && table->Written())
        table->Commit();
}

int WorkAreas::Find(const String& alias) const
{
    for (int area = 1; area <= MaxAreas; ++area) {
        const String* name = FTables[area]        ? &FTables[area]->Alias()
                             : FDefinitions[area] ? &FDefinitions[area]->Alias
                                                  : nullptr;
        if (name && ::strcasecmp(name->c_str(), alias.c_str()) == 0)
            return area;
    }
    return 0;
}

String WorkAreas::AliasOf(int area) const
{
    if (area < 1 || area > MaxAreas)
        return String();
    if (FTables[area])
        return FTables[area]->Alias();
    if (FDefinitions[area])
        return FDefinitions[area]->Alias;
    return String();
}

int WorkAreas::CreateNew(const String& path, const String& alias, int tableType, int fieldCount)
{
    if (tableType != 1 && tableType != 2)
        throw EEngineError(XBE_E_UNSUPPORTED,
                           "Tables of type " + std::to_string(tableType) + " cannot be created");
    if (fieldCount < 1 || fieldCount > 255)
        throw EEngineError(XBE_E_LIMIT, "A table has 1 to 255 fields, not " + std::to_string(fieldCount));
    String file = tablepaths::TableFile(path);
    String dir = ExtractFilePath(file);
    if (::access(dir.empty() ? "." : dir.c_str(), W_OK) != 0)
        throw EEngineError(errno == ENOENT ? XBE_E_NOT_FOUND : XBE_E_ACCESS,
                           "Cannot create a table in directory " + dir);
    RequireNotInUse(file);
    auto definition = std::make_unique<TableDefinition>();
    definition->Path = file;
    definition->Alias = UniqueAlias(alias, file);
    definition->TableType = tableType;
    definition->Announced = fieldCount;
    int area = FreeArea();
    FDefinitions[area] = std::move(definition);
    FSelected = area;
    return area;
}

void WorkAreas::CreateExec()
{
    TableDefinition& definition = Definition();
    int area = FSelected;
    if (definition.Failed || definition.Fields.empty())
        throw EEngineError(XBE_E_FIELD, "The table definition is not valid: " + definition.Path);
    RequireNotInUse(definition.Path);
    WriteEmptyTable(definition.Path, definition.TableType, definition.Fields,
                    EngineSettings().MemoBlockBytes());
    auto table =
            std::make_unique<Table>(definition.Path, definition.Alias, omExclusive, definition.TableType);
    FDefinitions[area].reset();
    FTables[area] = std::move(table);
}

void WorkAreas::CopyStructure(const String& file)
{
    Table& source = Current();
    String target = tablepaths::TableFile(file);
    if (target == source.Path())
        throw EEngineError(XBE_E_IN_USE, "A table cannot be copied onto itself: " + target);
    RequireNotInUse(target);
    WriteEmptyTable(target, source.TableType(), source.Header().Fields, EngineSettings().MemoBlockBytes());
}
