// Work areas, engine-wide settings, error reporting and the extension exports.

#include <algorithm>

#include "platform/rtl/fileops.h"
#include "platform/rtl/sharelocks.h"
#include "platform/xbengine/apiguard.h"
#include "platform/xbengine/fieldcodec.h"
#include "platform/xbengine/settings.h"
#include "platform/xbengine/tablepaths.h"
#include "platform/xbengine/workareas.h"

namespace {

XBPROP Swap(bool& setting, XBPROP value)
{
    bool previous = setting;
    setting = value != 0;
    return previous ? 1 : 0;
}

}  // namespace

extern "C" {

XBSHORT xb_Use(const char* path, const char* alias, XBSHORT mode, XBSHORT type)
{
    return Guarded<XBSHORT>(0,
                            [&] { return XBSHORT(Areas().Use(ArgText(path), ArgText(alias), mode, type)); });
}

void xb_Close(void)
{
    GuardedVoid([] { Areas().Close(); });
}

void xb_CloseAll(void)
{
    GuardedVoid([] { Areas().CloseAll(); });
}

XBSHORT xb_Select(XBSHORT area)
{
    return Guarded<XBSHORT>(0, [&] { return XBSHORT(Areas().Select(area)); });
}

XBSHORT xb_WorkArea(const char* alias)
{
    return Guarded<XBSHORT>(0, [&] { return XBSHORT(Areas().Find(ArgText(alias))); });
}

const char* xb_Alias(XBSHORT area)
{
    return Guarded<const char*>("", [&] { return ResultText(Areas().AliasOf(area)); });
}

const char* xb_BaseName(void)
{
    return Guarded<const char*>("", [] {
        String name = ChangeFileExt(ExtractFileName(Areas().Current().Path()), "");
        for (char& c : name)
            if (c >= 'a' && c <= 'z')
                c = char(c - 32);
        return ResultText(name);
    });
}

XBSHORT xb_OpenMode(void)
{
    return Guarded<XBSHORT>(-1, [] { return XBSHORT(Areas().Current().Mode()); });
}

const char* xb_Version(void) { return "XBE 5.0 (Linux)"; }

XBPROP xb_SysProp(XBSHORT prop, XBPROP value)
{
    return Guarded<XBPROP>(0, [&]() -> XBPROP {
        Settings& settings = EngineSettings();
        switch (prop) {
        case XBE_PROP_EXACT: return settings.Exact ? 1 : 0;
        case XBE_PROP_SET_EXACT: return Swap(settings.Exact, value);
        case XBE_PROP_DELETED: return settings.Deleted ? 1 : 0;
        case XBE_PROP_SET_DELETED: return Swap(settings.Deleted, value);
        case XBE_PROP_OPTIMISTIC_BUFFER: return settings.OptimisticBuffer ? 1 : 0;
        case XBE_PROP_SET_OPTIMISTIC_BUFFER: return Swap(settings.OptimisticBuffer, value);
        case XBE_PROP_DURABLE_WRITES: return settings.DurableWrites ? 1 : 0;
        case XBE_PROP_SET_DURABLE_WRITES: return Swap(settings.DurableWrites, value);
        case XBE_PROP_BLOB_HEADER: return settings.WriteBlobHeader ? 1 : 0;
        case XBE_PROP_SET_BLOB_HEADER: return Swap(settings.WriteBlobHeader, value);
        case XBE_PROP_ORDER_COUNT: return Areas().Current().Orders().Count();
        // A group of writes on the current table: begun, and written out.
        case XBE_PROP_BEGIN_GROUP: Areas().Current().BeginGroup(); return 1;
        case XBE_PROP_END_GROUP: Areas().Current().EndGroup(); return 1;
        case XBE_PROP_ORDER_DESCENDING:
        case XBE_PROP_ORDER_UNIQUE: {
            TableOrders& orders = Areas().Current().Orders();
            int order = value == 0 ? orders.Current() : int(value);
            if (order < 1 || order > orders.Count())
                return 0;
            const CdxTag& tag = *orders.At(order).Tag;
            return (prop == XBE_PROP_ORDER_DESCENDING ? tag.Descending() : tag.Unique()) ? 1 : 0;
        }
        default: return 0;
        }
    });
}

XBSHORT xb_ErrorLevel(XBSHORT level)
{
    return Guarded<XBSHORT>(0, [&] {
        XBSHORT previous = XBSHORT(Errors().Level());
        Errors().SetLevel(level);
        return previous;
    });
}

XBLONG xb_SetErrorFunc(XBERRORFUNC func, intptr_t arg)
{
    return Guarded<XBLONG>(-1, [&] {
        Errors().SetErrorFunc(func, arg);
        return func ? 0 : -1;
    });
}

void xb_SetStringType(XBSHORT code)
{
    GuardedVoid([&] { EngineSettings().StringType = code; });
}

void xb_SetCentury(XBSHORT on)
{
    GuardedVoid([&] { EngineSettings().Century = on != 0; });
}

void xb_SetDateFormat(XBSHORT code)
{
    GuardedVoid([&] {
        if (!((code >= 0 && code <= 6) || code == 99))
            throw EEngineError(XBE_E_UNSUPPORTED, "Unknown date format " + std::to_string(code));
        EngineSettings().DateFormat = code;
    });
}

void xb_SetDeleted(XBSHORT on)
{
    GuardedVoid([&] { EngineSettings().Deleted = on != 0; });
}

XBSHORT xb_SetEpoch(XBWORD year)
{
    return Guarded<XBSHORT>(0, [&] {
        XBSHORT previous = XBSHORT(EngineSettings().Epoch);
        EngineSettings().Epoch = year;
        return previous;
    });
}

void xb_SetExact(XBSHORT on)
{
    GuardedVoid([&] { EngineSettings().Exact = on != 0; });
}

void xb_SetSoftSeek(XBSHORT on)
{
    GuardedVoid([&] { EngineSettings().SoftSeek = on != 0; });
}

void xb_SetMemoBlockSize(XBWORD size)
{
    GuardedVoid([&] { EngineSettings().MemoBlockSize = size; });
}

void xb_SetLockTimeout(XBSHORT seconds)
{
    GuardedVoid([&] { EngineSettings().LockTimeout = seconds; });
}

void xb_SetTranslate(XBSHORT on)
{
    GuardedVoid([&] { EngineSettings().Translate = on != 0; });
}

void xb_SetTurboRead(XBSHORT on)
{
    GuardedVoid([&] { Areas().Current().TurboRead = on != 0; });
}

const char* xb_BaseDate(void)
{
    return Guarded<const char*>("", [] {
        return ResultText(fieldcodec::DateText(Areas().Current().LastUpdate(), EngineSettings()));
    });
}

void xb_SetPassword(const char* password)
{
    GuardedVoid([&] { Areas().Current().Password = ArgText(password); });
}

XBBOOL xb_IsEncrypted(XBSHORT) { return 0; }

void xb_SetGaugeFunc(XBGAUGEFUNC func)
{
    GuardedVoid([&] { EngineSettings().Gauge = func; });
}

void xb_SetGaugeHook(XBLONG)
{
    GuardedVoid([] { Unsupported("xb_SetGaugeHook"); });
}

XBLONG xb_Encrypt(void*, const char*, XBLONG)
{
    return Guarded<XBLONG>(0, []() -> XBLONG { Unsupported("xb_Encrypt"); });
}

XBLONG xb_Decrypt(void*, const char*, XBLONG)
{
    return Guarded<XBLONG>(0, []() -> XBLONG { Unsupported("xb_Decrypt"); });
}

XBBOOL xb_DbfEncrypt(void)
{
    return Guarded<XBBOOL>(0, []() -> XBBOOL { Unsupported("xb_DbfEncrypt"); });
}

XBBOOL xb_DbfDecrypt(void)
{
    return Guarded<XBBOOL>(0, []() -> XBBOOL { Unsupported("xb_DbfDecrypt"); });
}

int32_t xbx_LastError(void) { return Errors().Code(); }

const char* xbx_LastErrorText(void) { return Errors().Text().c_str(); }

XBBOOL xbx_FileInUse(const char* path)
{
    return Guarded<XBBOOL>(0,
                           [&] { return sharelocks::FileInUse(tablepaths::Resolve(ArgText(path))) ? 1 : 0; });
}

}  // extern "C"

void xbx_SetCacheBudget(int64_t bytes)
{
    GuardedVoid([&] { EngineSettings().CacheBytes = std::size_t(std::max<int64_t>(bytes, 0)); });
}
