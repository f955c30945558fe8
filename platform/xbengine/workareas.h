#pragma once
// The engine's work areas: the open tables and pending table definitions
// by area number, and the one selected area every per-table call acts on.

#include <memory>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/xbengine/table.h"
#include "platform/xbengine/tabledefinition.h"

class WorkAreas {
public:
    static constexpr int MaxAreas = 250;

    WorkAreas();

    // Selects an area, used or not; returns the previous selection.
    int Select(int area);
    int Selected() const { return FSelected; }
    // The selected area's table, an append waiting in it written first;
    // fails with XBE_E_NO_AREA.
    Table& Current();
    // The same with the append left waiting: for calls that only look at
    // the current record and its fields, or write it.
    Table& CurrentAsIs();
    Table* At(int area);
    // The selected area's pending definition; fails with XBE_E_NO_DEFINITION.
    TableDefinition& Definition();

    // Opens a table in the lowest free area and selects it.
    int Use(const String& path, const String& alias, int mode, int tableType);
    // Closes the selected area's table, flushing what it wrote to disk, or
    // discards its pending definition.
    void Close();
    void CloseAll();
    // The area holding that alias (case-insensitive), 0 when none.
    int Find(const String& alias) const;
    String AliasOf(int area) const;

    int CreateNew(const String& path, const String& alias, int tableType, int fieldCount);
    void CreateExec();
    void CopyStructure(const String& file);

private:
    void CloseArea(int area);
    int FreeArea() const;
    String UniqueAlias(const String& alias, const String& path) const;

    std::vector<std::unique_ptr<Table>> FTables;
    std::vector<std::unique_ptr<TableDefinition>> FDefinitions;
    int FSelected = 1;
};

WorkAreas& Areas();
