// Table creation and copying.

#include <sys/stat.h>
#include <unistd.h>

#include "platform/xbengine/apiguard.h"
#include "platform/xbengine/fieldcodec.h"
#include "platform/xbengine/recordfilter.h"
#include "platform/xbengine/settings.h"
#include "platform/xbengine/tablepaths.h"
#include "platform/xbengine/valueconvert.h"
#include "platform/xbengine/workareas.h"

namespace {

// Opens a table in a free area for the length of body, then closes it.
template<class Body> void WithTable(const String& path, int mode, int tableType, Body&& body)
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

// A source field and the target field of the same name.
struct FieldPair {
    const FieldDef* From;
    const FieldDef* To;
    bool Raw;  // the stored bytes fit as they are
};

std::vector<FieldPair> MatchFields(const Table& source, const Table& target)
{
    std::vector<FieldPair> pairs;
    for (const FieldDef& to : target.Header().Fields) {
        const FieldDef* from = source.FindField(to.Name);
        if (!from)
            continue;
        bool sameLayout = from->Type == to.Type && from->Width == to.Width && from->Decimals == to.Decimals &&
                          from->Binary == to.Binary;
        // Binary values other than memo references have no text to convert through.
        bool binary = (from->Binary && !IsMemoType(*from)) || (to.Binary && !IsMemoType(to));
        if (binary && !sameLayout)
            throw EEngineError(XBE_E_FIELD, "Field " + to.Name + " of type " + String(1, to.Type) +
                                                    " cannot take the values of a field of type " +
                                                    String(1, from->Type));
        pairs.push_back({from, &to, sameLayout && !IsMemoType(to) && !IsMemoType(*from)});
    }
    return pairs;
}

// The text of a source field for conversion: memo text, or the stored
// characters without the padding of their type.
String SourceText(Table& source, const FieldDef& field)
{
    if (IsMemoType(field))
        return source.MemoData(field);
    String text = source.FieldBytes(field);
    text.erase(text.find_last_not_of(' ') + 1);
    if (field.Type != 'C')
        text.erase(0, text.find_first_not_of(' '));
    return text;
}

// Appends the current source record to target: every value is converted
// before the record is added, so a value that does not fit adds nothing.
void AppendConverted(Table& source, Table& target, const std::vector<FieldPair>& pairs)
{
    std::vector<String> values;
    for (const FieldPair& pair : pairs) {
        if (IsMemoType(*pair.To))
            values.push_back(SourceText(source, *pair.From));
        else if (pair.Raw)
            values.push_back(source.FieldBytes(*pair.From));
        else
            values.push_back(valueconvert::StoredBytes(*pair.To, 1024, SourceText(source, *pair.From).c_str(),
                                                       EngineSettings()));
    }
    target.AppendBlank();
    String image = target.Record();
    image[0] = source.Deleted() ? '*' : ' ';
    for (std::size_t i = 0; i < pairs.size(); ++i)
        if (!IsMemoType(*pairs[i].To))
            image.replace(pairs[i].To->Offset, pairs[i].To->Width, values[i]);
    target.PutRecord(image.data());
    for (std::size_t i = 0; i < pairs.size(); ++i)
        if (IsMemoType(*pairs[i].To) && !values[i].empty())
            target.WriteMemo(*pairs[i].To, values[i]);
}

bool SameFile(const String& a, const String& b)
{
    struct stat first, second;
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

extern "C" {

XBSHORT xb_CreateNew(const char* path, const char* alias, XBSHORT type, XBSHORT fieldCount)
{
    return Guarded<XBSHORT>(
            0, [&] { return XBSHORT(Areas().CreateNew(ArgText(path), ArgText(alias), type, fieldCount)); });
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
                rows.push_back({n, source.FieldBytes(kind).substr(0, 1),
                                int(fieldcodec::Val(source.FieldBytes(len))),
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

// Appends the visible records of another table that satisfy the condition
// ("" for all), field by field by name; returns how many were appended.
XBLONG xb_AppendFrom(const char* file, XBSHORT type, const char* forExpr)
{
    return Guarded<XBLONG>(0, [&] {
        Table& target = Areas().Current();
        String path = tablepaths::TableFile(ArgText(file));
        if (::access(path.c_str(), F_OK) != 0)
            throw EEngineError(XBE_E_NOT_FOUND, "The table to append from does not exist: " + path);
        if (SameFile(path, target.Path()))
            throw EEngineError(XBE_E_IN_USE, "A table cannot be appended from itself: " + path);
        XBGAUGEFUNC gauge = EngineSettings().Gauge;
        if (gauge)
            gauge(0);
        XBLONG appended = 0;
        WithTable(path, omReadOnly, type, [&](Table& source) {
            String condition = ArgText(forExpr);
            std::unique_ptr<xbexpr::Expression> test;
            if (condition.find_first_not_of(' ') != String::npos)
                test = CompileExpression(condition, source.Context(), true);
            std::vector<FieldPair> pairs = MatchFields(source, target);
            for (source.GoTop(); !source.Eof(); source.Skip(1)) {
                if (test && !test->EvaluateLogical(source.Context())) {
                    test->ClearError();
                    continue;
                }
                AppendConverted(source, target, pairs);
                ++appended;
            }
        });
        if (gauge)
            gauge(100);
        return appended;
    });
}

}  // extern "C"
