#pragma once
// An in-memory table that stands where the engine's work area will: DBF-style
// record images with a deletion byte, memo texts beside them, and aliases to
// other tables.

#include <map>
#include <vector>

#include "platform/xbengine/expr/recordcontext.h"

class MemoryTable : public xbexpr::RecordContext {
public:
    struct Column {
        String name;
        char type;
        int width;
        int decimals = 0;
    };

    explicit MemoryTable(std::vector<Column> columns)
    {
        int offset = 1;
        for (const Column& c : columns) {
            xbexpr::FieldInfo f;
            f.Index = static_cast<int>(FFields.size()) + 1;
            f.Type = c.type;
            f.Width = c.width;
            f.Decimals = c.decimals;
            f.Offset = offset;
            offset += c.width;
            FNames.push_back(Upper(c.name));
            FFields.push_back(f);
        }
        FRecordSize = offset;
    }

    // One text per column: C padded, N right-aligned, D "yyyymmdd", L "T"/"F";
    // the text of an M column is the memo itself.
    void Append(const std::vector<String>& values, bool deleted = false)
    {
        String record(static_cast<size_t>(FRecordSize), ' ');
        if (deleted)
            record[0] = '*';
        for (size_t i = 0; i < FFields.size() && i < values.size(); ++i) {
            const xbexpr::FieldInfo& f = FFields[i];
            String text = values[i];
            if (f.Type == 'M') {
                FMemos[{FRecords.size() + 1, f.Index}] = text;
                continue;
            }
            if (text.size() > static_cast<size_t>(f.Width))
                text.resize(static_cast<size_t>(f.Width));
            const size_t pad = static_cast<size_t>(f.Width) - text.size();
            if (f.Type == 'N' || f.Type == 'F')
                text.insert(0, pad, ' ');
            else
                text.append(pad, ' ');
            record.replace(static_cast<size_t>(f.Offset), static_cast<size_t>(f.Width), text);
        }
        FRecords.push_back(record);
        FRecNo = static_cast<std::int32_t>(FRecords.size());
    }

    // Replaces the current record's image, for bytes no writer would produce.
    void SetRecordBytes(const String& bytes) { FRecords[static_cast<size_t>(FRecNo) - 1] = bytes; }

    void Go(std::int32_t recNo) { FRecNo = recNo; }
    std::int32_t Count() const { return static_cast<std::int32_t>(FRecords.size()); }

    void AddAlias(const String& alias, const MemoryTable* table)
    {
        FAliases.push_back({Upper(alias), table});
    }

    bool LookupField(std::string_view alias, std::string_view name, xbexpr::FieldInfo& field) const override
    {
        const MemoryTable* table = this;
        int area = 0;
        if (!alias.empty()) {
            table = nullptr;
            for (size_t i = 0; i < FAliases.size(); ++i)
                if (FAliases[i].first == Upper(alias)) {
                    table = FAliases[i].second;
                    area = static_cast<int>(i) + 1;
                }
            if (!table)
                return false;
        }
        for (size_t i = 0; i < table->FNames.size(); ++i)
            if (table->FNames[i] == Upper(name)) {
                field = table->FFields[i];
                field.Area = area;
                return true;
            }
        return false;
    }

    std::string_view Record(int area) const override
    {
        const MemoryTable& t = Area(area);
        return t.FRecords.at(static_cast<size_t>(t.FRecNo) - 1);
    }
    std::int32_t RecNo(int area) const override { return Area(area).FRecNo; }
    String MemoText(const xbexpr::FieldInfo& field) const override
    {
        const MemoryTable& t = Area(field.Area);
        const auto it = t.FMemos.find({static_cast<size_t>(t.FRecNo), field.Index});
        return it == t.FMemos.end() ? String() : it->second;
    }
    xbexpr::ExprSettings Settings() const override { return settings; }
    std::int32_t Today() const override { return today; }

    xbexpr::ExprSettings settings;
    std::int32_t today = 0;

private:
    static String Upper(std::string_view s)
    {
        String u(s);
        for (char& c : u)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
        return u;
    }
    const MemoryTable& Area(int area) const
    {
        return area == 0 ? *this : *FAliases.at(static_cast<size_t>(area) - 1).second;
    }

    std::vector<String> FNames;
    std::vector<xbexpr::FieldInfo> FFields;
    int FRecordSize = 1;
    std::vector<String> FRecords;
    std::map<std::pair<size_t, int>, String> FMemos;
    std::vector<std::pair<String, const MemoryTable*>> FAliases;
    std::int32_t FRecNo = 0;
};
