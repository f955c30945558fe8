// Navigation in natural order, record images, appends, deletion and
// table maintenance.

#include <cstring>

#include "platform/xbengine/apiguard.h"
#include "platform/xbengine/settings.h"
#include "platform/xbengine/workareas.h"

namespace {

Table& Current()
{
    return Areas().Current();
}

// Runs a whole-table operation, telling the gauge function its start and end.
XBBOOL Maintain(void (Table::*operation)())
{
    return Guarded<XBBOOL>(0, [&] {
        XBGAUGEFUNC gauge = EngineSettings().Gauge;
        if (gauge)
            gauge(0);
        (Current().*operation)();
        if (gauge)
            gauge(100);
        return 1;
    });
}

}  // namespace

extern "C" {

void xb_Go(XBLONG recno)
{
    GuardedVoid([&] { Current().Go(recno); });
}

void xb_GoTop(void)
{
    GuardedVoid([] { Current().GoTop(); });
}

void xb_GoBottom(void)
{
    GuardedVoid([] { Current().GoBottom(); });
}

void xb_Skip(XBLONG count)
{
    GuardedVoid([&] { Current().Skip(count); });
}

XBBOOL xb_Bof(void)
{
    return Guarded<XBBOOL>(0, [] { return Current().Bof() ? 1 : 0; });
}

XBBOOL xb_Eof(void)
{
    return Guarded<XBBOOL>(0, [] { return Current().Eof() ? 1 : 0; });
}

XBLONG xb_RecNo(void)
{
    return Guarded<XBLONG>(0, [] { return Current().RecNo(); });
}

XBLONG xb_RecCount(void)
{
    return Guarded<XBLONG>(0, [] { return Current().RecCount(); });
}

XBLONG xb_Count(void)
{
    return Guarded<XBLONG>(0, [] { return Current().Count(); });
}

// Natural order: the position is the record number over the record count.
double xb_OrderPosGet(void)
{
    return Guarded<double>(0, [] {
        Table& table = Current();
        Integer count = table.RecCount();
        if (table.Eof())
            return count == 0 ? 0.0 : 1.0;
        return count == 0 ? 0.0 : double(table.RecNo()) / count;
    });
}

void xb_OrderPosSet(double position)
{
    GuardedVoid([&] {
        Table& table = Current();
        Integer count = table.RecCount();
        if (count == 0) {
            table.Go(0);
            return;
        }
        double rank = position * count + 0.5;
        table.Go(rank < 1 ? 1 : rank > count ? count : Int64(rank));
    });
}

XBLONG xb_OrderRecNo(void)
{
    return Guarded<XBLONG>(0, [] {
        Table& table = Current();
        return table.Eof() ? 0 : table.RecNo();
    });
}

XBLONG xb_GetRecord(char* buf)
{
    return Guarded<XBLONG>(0, [&] {
        const String& image = Current().Record();
        std::memcpy(buf, image.data(), image.size());
        return XBLONG(image.size());
    });
}

XBBOOL xb_PutRecord(const char* buf)
{
    return Guarded<XBBOOL>(0, [&] {
        Current().PutRecord(buf);
        return 1;
    });
}

XBBOOL xb_AppendBlank(void)
{
    return Guarded<XBBOOL>(0, [] {
        Current().AppendBlank();
        return 1;
    });
}

XBBOOL xb_Append(void)
{
    return xb_AppendBlank();
}

XBBOOL xb_Commit(void)
{
    return Guarded<XBBOOL>(0, [] {
        Current().Commit();
        return 1;
    });
}

XBBOOL xb_Delete(void)
{
    return Guarded<XBBOOL>(0, [] {
        Current().SetDeleteMark(true);
        return 1;
    });
}

XBBOOL xb_Recall(void)
{
    return Guarded<XBBOOL>(0, [] {
        Current().SetDeleteMark(false);
        return 1;
    });
}

XBBOOL xb_Deleted(void)
{
    return Guarded<XBBOOL>(0, [] { return Current().Deleted() ? 1 : 0; });
}

XBBOOL xb_Pack(void)
{
    return Maintain(&Table::Pack);
}

XBBOOL xb_Zap(void)
{
    return Maintain(&Table::Zap);
}

XBLONG xb_RecSize(void)
{
    return Guarded<XBLONG>(0, [] { return XBLONG(Current().RecordLength()); });
}

}  // extern "C"
