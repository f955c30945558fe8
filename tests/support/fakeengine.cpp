#include "tests/support/fakeengine.h"

#include <cstring>
#include <sstream>
#include <type_traits>

#include "platform/rtl/fileops.h"
#include "tables/xbe50.h"

namespace {

template<class T> std::string ArgText(T Value)
{
    if constexpr (std::is_same_v<T, const char*> || std::is_same_v<T, char*>)
        return Value ? "\"" + std::string(Value) + "\"" : "null";
    else if constexpr (std::is_pointer_v<T>)
        return Value ? "ptr" : "null";
    else if constexpr (std::is_floating_point_v<T>) {
        std::ostringstream out;
        out << Value;
        return out.str();
    } else
        return std::to_string(static_cast<long long>(Value));
}

template<class R, class... A> R FakeCall(const char* Name, A... Args)
{
    FakeEngine& fake = Fake();
    std::string call = std::string(Name) + "(";
    bool first = true;
    ((call += (first ? "" : ",") + ArgText(Args), first = false), ...);
    fake.Calls.push_back(call + ")");
    if constexpr (std::is_void_v<R>)
        return;
    else if constexpr (std::is_pointer_v<R>) {
        auto found = fake.Texts.find(Name);
        return found == fake.Texts.end() ? nullptr : const_cast<R>(found->second.c_str());
    } else if constexpr (std::is_floating_point_v<R>)
        return static_cast<R>(fake.Doubles[Name]);
    else
        return static_cast<R>(fake.Results[Name]);
}

const TXbeFunctions& FakeFunctions()
{
    static const TXbeFunctions functions = [] {
        TXbeFunctions f;
#define XBE_FUNCTION(name, result, parameters, tier)                                                         \
    f.xb_##name = [](auto... Args) -> result { return FakeCall<result>("xb_" #name, Args...); };
#include "platform/xbengine/xbe_functions.def"
#undef XBE_FUNCTION
        return f;
    }();
    return functions;
}

void* FakeSymbol(const char* Name)
{
    if (Fake().Missing.count(Name))
        return nullptr;
    const TXbeFunctions& f = FakeFunctions();
    void* address = nullptr;
#define XBE_FUNCTION(name, result, parameters, tier)                                                         \
    if (std::strcmp(Name, "xb_" #name) == 0)                                                                 \
        std::memcpy(&address, &f.xb_##name, sizeof address);
#include "platform/xbengine/xbe_functions.def"
#undef XBE_FUNCTION
    return address;
}

int FakeHandle;

}  // namespace

FakeEngine& Fake()
{
    static FakeEngine fake;
    return fake;
}

void UseFakeEngine()
{
    UnloadDLL();
    Fake() = FakeEngine();
    TXbeLoader loader;
    loader.Open = [](const String&) -> void* {
        ++Fake().Opens;
        return Fake().Loadable ? &FakeHandle : nullptr;
    };
    loader.Symbol = [](void*, const char* Name) { return FakeSymbol(Name); };
    loader.Close = [](void*) { ++Fake().Closes; };
    SetXbeLoader(loader);
}

void UseRealEngine()
{
    UnloadDLL();
    SetXbeLoader(SystemXbeLoader());
    SetXbeLibraryDir(ProgramDir());
}

void FakeEngineTest::SetUp()
{
    UseFakeEngine();
    LoadDLL();
    Fake().Clear();
}
