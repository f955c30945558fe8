#pragma once
// The record context of a work area's table for its expressions: its own
// fields by name, other open tables' fields through "alias->field", the
// engine's date settings. A probe lets a condition or key be evaluated on a
// record image other than the current one (a record tested while navigating,
// the image before a write).

#include "platform/xbengine/expr/recordcontext.h"

class Table;

class AreaContext : public xbexpr::RecordContext {
public:
    explicit AreaContext(Table& table) : FTable(table) { }

    bool LookupField(std::string_view alias, std::string_view name, xbexpr::FieldInfo& field) const override;
    std::string_view Record(int area) const override;
    std::int32_t RecNo(int area) const override;
    String MemoText(const xbexpr::FieldInfo& field) const override;
    xbexpr::ExprSettings Settings() const override;
    std::int32_t Today() const override;

    // Evaluates the own table on image and recno until the probe ends.
    class Probe {
    public:
        Probe(AreaContext& context, const String& image, Integer recno);
        ~Probe();
        Probe(const Probe&) = delete;
        Probe& operator=(const Probe&) = delete;

    private:
        AreaContext& FContext;
        const String* FImage;
        Integer FRecNo;
    };

private:
    Table* TableOf(int area) const;

    Table& FTable;
    const String* FProbeImage = nullptr;
    Integer FProbeRecNo = 0;
};
