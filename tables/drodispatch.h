#pragma once
// The table's engine calls: one method per engine function, named cs_ followed
// by the function's name, which sends the call to the local engine or, with the
// server access method, to the connection's request of the same name. Truth
// results come back as bool (any non-zero engine value is true); everything
// else passes through. The caller selects the work area first.

#include <string_view>
#include <type_traits>

#include "tables/daroruconnection.h"
#include "tables/drcommon.h"
#include "tables/xbe50.h"

constexpr bool XbeIsTruth(std::string_view ResultType) { return ResultType == "XBBOOL"; }

template<class R, bool Truth> using XbeDispatchResult = std::conditional_t<Truth, bool, R>;

class TDaroruDispatch {
public:
    TAccessMethod AccessMethod() const { return FAccessMethod; }
    TDaroruConnection* DaroruConnection() const { return FDaroruConnection; }

#define XBE_FUNCTION(name, result, parameters, tier)                                                         \
    template<class... A> XbeDispatchResult<result, XbeIsTruth(#result)> cs_##name(A... Args)                 \
    {                                                                                                        \
        return Route<result, XbeIsTruth(#result)>(Xbe().xb_##name, &TDaroruConnection::ap_##name,            \
                                                  "xb_" #name, Args...);                                     \
    }
#include "platform/xbengine/xbe_functions.def"
#undef XBE_FUNCTION

protected:
    virtual ~TDaroruDispatch() = default;
    // The connection for a server call; raises when there is none.
    virtual TDaroruConnection* ServerConnection() const = 0;

    TAccessMethod FAccessMethod = amLocal;
    TDaroruConnection* FDaroruConnection = nullptr;

private:
    template<class R, bool Truth, class... P, class... Q, class... A>
    XbeDispatchResult<R, Truth> Route(R (*Engine)(P...), R (TDaroruConnection::*Server)(Q...),
                                      const char* Name, A... Args)
    {
        if constexpr (std::is_void_v<R>) {
            if (FAccessMethod == amServer)
                (ServerConnection()->*Server)(static_cast<Q>(Args)...);
            else
                XbeCall(Engine, Name, Args...);
        } else {
            R r = FAccessMethod == amServer ? (ServerConnection()->*Server)(static_cast<Q>(Args)...)
                                            : XbeCall(Engine, Name, Args...);
            if constexpr (Truth)
                return r != 0;
            else
                return r;
        }
    }
};
