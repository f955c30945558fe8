// Table creation and copying.

#include "platform/xbengine/apiguard.h"
#include "platform/xbengine/fieldcodec.h"
#include "platform/xbengine/tablepaths.h"
#include "platform/xbengine/workareas.h"

namespace {

// Opens a table in a free area for the length of body, then closes it.
template <class Body>
void WithTable(const String& path, int mode, int tableType, Body&& body)
{
    int previous = Areas().Selected();
    Areas().Use(path, "XBE_WORK" + std::to_string(previous), mode, tableType);
    try {
        body(Areas().Current());
    } catch (...) {
        Areas().Close();
        Areas().Select(previous);
        throw;
    }
    Areas().Close();
    Areas().Select(previous);
}

}  // namespace

extern "C" {

XBSHORT xb_CreateNew(const char* path, const char* alias, XBSHORT type, XBSHORT fieldCount)
{
    return Guarded<XBSHORT>(0, [&] {
        return XBSHORT(Areas().CreateNew(ArgText(path), ArgText(alias), type, fieldCount));
    });
}

void xb_CreateField(const char* name, const char* type, XBSHORT len, XBSHORT dec)
{
    GuardedVoid([&] { Areas().Definition().AddField(ArgText(name), ArgText(type), XBWORD(len), dec); });
}

XBBOOL xb_CreateExec(void)
{
    return Guarded<XBBOOL>(0, [] {
        Areas().CreateExec();
        return 1;
    });
}

XBBOOL xb_CopyStructure(const char* file, const char*)
{
    return Guarded<XBBOOL>(0, [&] {
        Areas().CopyStructure(ArgText(file));
        return 1;
    });
}

// Creates a table from a structure table (FIELD_NAME, FIELD_TYPE, FIELD_LEN,
// FIELD_DEC) and leaves it open under alias.
XBBOOL xb_CreateFrom(const char* file, const char* alias, const char* structFile, XBSHORT type)
{
    return Guarded<XBBOOL>(0, [&] {
        struct Row {
            String name, type;
            int len, dec;
        };
        std::vector<Row> rows;
        WithTable(tablepaths::TableFile(ArgText(structFile)), omReadOnly, 2, [&](Table& source) {
            const FieldDef& name = source.Field("FIELD_NAME");
            const FieldDef& kind = source.Field("FIELD_TYPE");
            const FieldDef& len = source.Field("FIELD_LEN");
            const FieldDef& dec = source.Field("FIELD_DEC");
            for (source.GoTop(); !source.Eof(); source.Skip(1)) {
                String n = source.FieldBytes(name);
                n.erase(n.find_last_not_of(' ') + 1);
                rows.push_back({n, source.FieldBytes(kind).substr(0, 1), int(fieldcodec::Val(source.FieldBytes(len))),
                                int(fieldcodec::Val(source.FieldBytes(dec)))});
            }
        });
        Areas().CreateNew(ArgText(file), ArgText(alias), type, int(rows.size()));
        try {
            for (const Row& row : rows)
                Areas().Definition().AddField(row.name, row.type, row.len, row.dec);
            Areas().CreateExec();
        } catch (...) {
            Areas().Close();  // the pending definition
            throw;
        }
        return 1;
    });
}

// A new table of the same structure holding the visible records, memos included.
XBBOOL xb_CopyFile(const char* file)
{
    return Guarded<XBBOOL>(0, [&] {
        Table& source = Areas().Current();
        Integer position = source.RecNo();
        Areas().CopyStructure(ArgText(file));
        WithTable(tablepaths::TableFile(ArgText(file)), omExclusive, source.TableType(), [&](Table& target) {
            for (source.GoTop(); !source.Eof(); source.Skip(1)) {
                // Memo references start blank: the memos get new blocks in the copy.
                String image = source.Record();
                for (const FieldDef& field : source.Header().Fields)
                    if (IsMemoType(field))
                        image.replace(field.Offset, field.Width, field.Width, field.Binary ? '\0' : ' ');
                target.AppendBlank();
                target.PutRecord(image.data());
                for (const FieldDef& field : source.Header().Fields)
                    if (IsMemoType(field))
                        target.WriteMemo(target.Header().Fields[&field - source.Header().Fields.data()],
                                         source.MemoData(field));
            }
        });
        source.Go(position);
        return 1;
    });
}

XBBOOL xb_CopyStructureExtended(const char*)
{
    return Guarded<XBBOOL>(0, []() -> XBBOOL { Unsupported("xb_CopyStructureExtended"); });
}

XBBOOL xb_CopyFileText(const char*, XBSHORT)
{
    return Guarded<XBBOOL>(0, []() -> XBBOOL { Unsupported("xb_CopyFileText"); });
}

XBLONG xb_AppendFrom(const char*, XBSHORT, const char*)
{
    return Guarded<XBLONG>(0, []() -> XBLONG { NotYet("xb_AppendFrom"); });
}

}  // extern "C"
