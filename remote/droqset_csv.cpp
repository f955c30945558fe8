// The comma-separated export and import of a query's rows (RFC 4180).

#include <optional>

#include "platform/rtl/datetime.h"
#include "platform/rtl/strutils.h"
#include "remote/droqset.h"

namespace {

String Quoted(const String& Text)
{
    String out = "\"";
    for (char c : Text)
        out += c == '"' ? String("\"\"") : String(1, c);
    return out + "\"";
}

bool Written(const TField& Field, TDaroruQuerySaveFlags Flags)
{
    if (!Field.Visible() && !Flags.Contains(mtfSaveNonVisible))
        return false;
    switch (Field.FieldKind()) {
    case fkData: return Flags.Contains(mtfSaveData);
    case fkCalculated: return Flags.Contains(mtfSaveCalculated);
    case fkLookup: return Flags.Contains(mtfSaveLookup);
    default: return true;
    }
}

// The date separator "/" while an export or import runs.
class TCsvSeparators {
public:
    TCsvSeparators() : FDate(DateSeparator) { DateSeparator = '/'; }
    ~TCsvSeparators() { DateSeparator = FDate; }
    TCsvSeparators(const TCsvSeparators&) = delete;
    TCsvSeparators& operator=(const TCsvSeparators&) = delete;

private:
    char FDate;
};

using TCsvValue = std::optional<String>;  // empty: an empty unquoted value
struct TCsvRecord {
    int Line = 0;
    std::vector<TCsvValue> Values;
};

class ECsvError : public Exception {
public:
    ECsvError(int Line, const String& Message) : Exception(Message), Line(Line) { }
    int Line;
};

// The records of a comma-separated text; blank lines hold no record.
std::vector<TCsvRecord> ParseCsv(const String& Text)
{
    std::vector<TCsvRecord> records;
    size_t at = 0;
    int line = 1;
    auto lineEnd = [&](size_t i) { return i >= Text.size() || Text[i] == '\r' || Text[i] == '\n'; };
    auto skipLineEnd = [&] {
        if (at < Text.size() && Text[at] == '\r')
            ++at;
        if (at < Text.size() && Text[at] == '\n')
            ++at;
        ++line;
    };
    while (at < Text.size()) {
        if (lineEnd(at)) {
            skipLineEnd();
            continue;
        }
        TCsvRecord record;
        record.Line = line;
        for (;;) {
            if (at < Text.size() && Text[at] == '"') {
                String value;
                ++at;
                for (;;) {
                    if (at >= Text.size())
                        throw ECsvError(record.Line, "a quoted value has no closing quote");
                    if (Text[at] == '"') {
                        if (at + 1 < Text.size() && Text[at + 1] == '"') {
                            value += '"';
                            at += 2;
                            continue;
                        }
                        ++at;
                        break;
                    }
                    if (Text[at] == '\n' ||
                        (Text[at] == '\r' && (at + 1 >= Text.size() || Text[at + 1] != '\n')))
                        ++line;
                    value += Text[at++];
                }
                if (!lineEnd(at) && Text[at] != ',')
                    throw ECsvError(line, "a quoted value is followed by more than a comma");
                record.Values.emplace_back(std::move(value));
            } else {
                const size_t start = at;
                while (!lineEnd(at) && Text[at] != ',') {
                    if (Text[at] == '"')
                        throw ECsvError(line, "a quote stands inside an unquoted value");
                    ++at;
                }
                record.Values.emplace_back(at == start ? TCsvValue()
                                                       : TCsvValue(Text.substr(start, at - start)));
            }
            if (at < Text.size() && Text[at] == ',') {
                ++at;
                continue;
            }
            break;
        }
        records.push_back(std::move(record));
        if (at < Text.size())
            skipLineEnd();
    }
    return records;
}

}  // namespace

void TDaroruQuery::SaveToStream(TStream& Stream, TDaroruQuerySaveFlags Flags)
{
    CheckActive();
    TCsvSeparators separators;
    std::vector<TField*> fields;
    for (TField* field : Fields())
        if (Written(*field, Flags))
            fields.push_back(field);
    auto writeLine = [&](auto Text) {
        String line;
        for (size_t i = 0; i < fields.size(); ++i)
            line += (i ? "," : "") + Quoted(Text(fields[i]));
        line += "\r\n";
        Stream.WriteBuffer(line.data(), Int64(line.size()));
    };
    DisableControls();
    const TBookmark mark = GetBookmark();
    try {
        writeLine([](TField* f) { return f->DisplayLabel(); });
        for (First(); !Eof(); Next())
            writeLine([](TField* f) { return f->IsNull() ? String() : f->AsString(); });
    } catch (...) {
        if (!mark.empty())
            GotoBookmark(mark);
        EnableControls();
        throw;
    }
    if (!mark.empty())
        GotoBookmark(mark);
    EnableControls();
}

void TDaroruQuery::SaveToFile(const String& FileName, TDaroruQuerySaveFlags Flags)
{
    TFileStream file(FileName, fmCreate);
    SaveToStream(file, Flags);
}

void TDaroruQuery::LoadFromStream(TStream& Stream)
{
    CheckActive();
    CheckBrowseMode();
    TCsvSeparators separators;
    String text(static_cast<size_t>(Stream.Size() - Stream.Position()), '\0');
    Stream.ReadBuffer(text.data(), Int64(text.size()));
    std::vector<TCsvRecord> records;
    try {
        records = ParseCsv(text);
    } catch (const ECsvError& e) {
        throw EDaroruQueryError("Error in line " + IntToStr(e.Line) + ": " + e.Message());
    }
    const std::vector<TRow> before = FRows;
    DisableControls();
    int line = 0;
    try {
        for (size_t r = 1; r < records.size(); ++r) {
            line = records[r].Line;
            Append();
            const std::vector<TCsvValue>& values = records[r].Values;
            for (size_t i = 0; i < values.size() && int(i) < Fields().Count(); ++i) {
                TField* field = Fields()[int(i)];
                if (field->FieldKind() != fkData)
                    continue;
                if (values[i])
                    field->SetAsString(*values[i]);
                else
                    field->Clear();
            }
            Post();
        }
    } catch (const std::exception& e) {
        if (State() == dsInsert || State() == dsEdit)
            Cancel();
        FRows = before;
        FCurrent = 0;
        First();
        EnableControls();
        throw EDaroruQueryError("Error in line " + IntToStr(line) + ": " + e.what());
    }
    EnableControls();
}

void TDaroruQuery::LoadFromFile(const String& FileName)
{
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

String TDaroruQuery::CommaText()
{
    TStringStream stream;
    SaveToStream(stream, {mtfSaveData});
    return stream.DataString();
}

void TDaroruQuery::SetCommaText(const String& Text)
{
    EmptyTable();
    TStringStream stream(Text);
    LoadFromStream(stream);
}
