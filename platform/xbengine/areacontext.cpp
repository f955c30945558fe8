#include "platform/xbengine/areacontext.h"

#include <strings.h>

#include "platform/rtl/datetime.h"
#include "platform/xbengine/fieldcodec.h"
#include "platform/xbengine/settings.h"
#include "platform/xbengine/workareas.h"

AreaContext::Probe::Probe(AreaContext& context, const String& image, Integer recno)
    : FContext(context), FImage(context.FProbeImage), FRecNo(context.FProbeRecNo)
{
    context.FProbeImage = &image;
    context.FProbeRecNo = recno;
}

AreaContext::Probe::~Probe()
{
    FContext.FProbeImage = FImage;
    FContext.FProbeRecNo = FRecNo;
}

Table* AreaContext::TableOf(int area) const { return area == 0 ? &FTable : Areas().At(area); }

bool AreaContext::LookupField(std::string_view alias, std::string_view name, xbexpr::FieldInfo& field) const
{
    int area = 0;
    if (!alias.empty()) {
        String wanted(alias);
        if (::strcasecmp(wanted.c_str(), FTable.Alias().c_str()) != 0) {
            area = Areas().Find(wanted);
            if (area == 0)
                return false;
            if (Areas().At(area) == &FTable)
                area = 0;
        }
    }
    const Table* table = TableOf(area);
    const FieldDef* def = table ? table->FindField(String(name)) : nullptr;
    // A longer name is known by its first ten characters, the most a field name keeps.
    if (!def && table && name.size() > MaxFieldName)
        def = table->FindField(String(name.substr(0, MaxFieldName)));
    if (!def)
        return false;
    field.Area = area;
    field.Index = int(def - table->Header().Fields.data());
    field.Type = def->Type;
    field.Width = def->Width;
    field.Decimals = def->Decimals;
    field.Offset = def->Offset;
    return true;
}

std::string_view AreaContext::Record(int area) const
{
    if (area == 0 && FProbeImage)
        return *FProbeImage;
    const Table* table = TableOf(area);
    return table ? std::string_view(table->Record()) : std::string_view();
}

std::int32_t AreaContext::RecNo(int area) const
{
    if (area == 0 && FProbeImage)
        return FProbeRecNo;
    const Table* table = TableOf(area);
    return table ? table->RecNo() : 0;
}

String AreaContext::MemoText(const xbexpr::FieldInfo& field) const
{
    Table* table = TableOf(field.Area);
    if (!table || field.Index < 0 || std::size_t(field.Index) >= table->Header().Fields.size())
        return String();
    const FieldDef& def = table->Header().Fields[std::size_t(field.Index)];
    if (field.Area == 0 && FProbeImage)
        return table->MemoDataOf(*FProbeImage, def);
    return table->MemoData(def);
}

xbexpr::ExprSettings AreaContext::Settings() const
{
    const ::Settings& settings = EngineSettings();
    xbexpr::ExprSettings result;
    result.Exact = settings.Exact;
    result.Century = settings.Century;
    result.DateFormat = settings.DateFormat;
    result.Epoch = settings.Epoch;
    return result;
}

std::int32_t AreaContext::Today() const
{
    int year, month, day;
    DecodeDate(Date(), year, month, day);
    return fieldcodec::JulianDay(year, month, day);
}
