#pragma once
// A scratch table for the benchmarks that read one, made through the engine the
// program loads.

#include <string>
#include <vector>

#include "bench/benchsupport.h"
#include "tables/xbe50.h"

// Makes the table Path of Columns holding Images (whole record images, the
// deletion flag first) in their order; with Tag, the field of that name is indexed.
inline void MakeBenchTable(const std::string& Path, const std::vector<Column>& Columns,
                           const std::vector<std::string>& Images, const char* Tag = nullptr)
{
    LoadDLL();
    XBE_CALL(xb_ErrorLevel, 0);
    XBE_CALL(xb_CreateNew, Path.c_str(), "NEWTABLE", 2, static_cast<int>(Columns.size()));
    for (const Column& c : Columns)
        XBE_CALL(xb_CreateField, c.Name, c.Type, c.Width, c.Decimals);
    XBE_CALL(xb_CreateExec);
    XBE_CALL(xb_Close);
    XBE_CALL(xb_Use, Path.c_str(), "SEEDING", 2, 2);
    for (const std::string& image : Images) {
        XBE_CALL(xb_AppendBlank);
        XBE_CALL(xb_PutRecord, image.c_str());
    }
    if (Tag)
        XBE_CALL(xb_IndexTag, "", Tag, Tag, 0, 0, "");
    XBE_CALL(xb_Close);
}
