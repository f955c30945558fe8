#pragma once
// The request helpers of the connection, shared by its request units.

#include <type_traits>

#include "remote/drconn.h"
#include "remote/wire.h"

template<class R, class Encode, class Decode>
inline R TDaroruServerConnection::Ask(const TRequestName& Name, const char* Code, Encode Args, Decode Reply)
{
    String args;
    try {
        args = Args();
    } catch (const EDaroruRequestError& e) {
        ClientError(Name.Silent ? "DaroruConnection." + Name.Message : Name.Command, e.Message());
        return R {};
    }
    const String reply = ClientXmit(Code, args, true);
    if (FLastRequestFailed)
        return R {};
    try {
        if constexpr (std::is_same_v<R, const char*>)
            return KeepText(Code, Reply(reply));
        else
            return Reply(reply);
    } catch (const std::exception&) {
        if (!Name.Silent)
            ClientError(Name.Command, Name.Message);
        return R {};
    }
}

template<class Encode>
inline bool TDaroruServerConnection::Tell(const TRequestName& Name, const char* Code, Encode Args)
{
    try {
        ClientXmit(Code, Args(), false);
    } catch (const EDaroruRequestError& e) {
        ClientError(Name.Silent ? "DaroruConnection." + Name.Message : Name.Command, e.Message());
        return false;
    }
    return !FLastRequestFailed;
}

template<class Encode>
inline bool TDaroruServerConnection::Fetch(const TRequestName& Name, const char* Code, Encode Args,
                                           String& Payload)
{
    Payload.clear();
    String args;
    try {
        args = Args();
    } catch (const EDaroruRequestError& e) {
        ClientError(Name.Command, e.Message());
        return false;
    }
    if (!ClientStreamReceive(Code, args))
        return false;
    Payload = ReadPayload();
    return true;
}

template<class Encode> inline void TDaroruServerConnection::Setting(const char* Code, Encode Args)
{
    if (Connected())
        ClientXmit(Code, Args(), false);
}
