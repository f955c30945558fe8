#pragma once
// The database server connection that a table or the environment may name.
// The server client itself is built elsewhere on this interface: one request
// per engine function, named ap_ followed by the engine function's name, with
// the same arguments. This base class is not connected and sends nothing.

#include <type_traits>

#include "platform/classes/component.h"
#include "platform/db/dbtypes.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"
#include "platform/xbengine/xbe_types.h"

// The empty value of a request that was not answered.
template<class R> R XbeEmptyResult()
{
    if constexpr (!std::is_void_v<R>)
        return R {};
}

class TDaroruConnection : public TComponent {
public:
    explicit TDaroruConnection(TComponent* AOwner) : TComponent(AOwner) { }
    String ClassName() const override { return "TDaroruConnection"; }
    bool InheritsFrom(const String& name) const override
    {
        return SameText(name, "TDaroruConnection") || TComponent::InheritsFrom(name);
    }

    virtual bool Connected() const { return false; }
    // The message of the connection's last failure, empty when there was none.
    virtual String LastError() const { return String(); }
    const String& UserName() const { return FUserName; }
    void SetUserName(const String& Value) { FUserName = Value; }
    const String& Password() const { return FPassword; }
    void SetPassword(const String& Value) { FPassword = Value; }
    const String& DatabaseName() const { return FDatabaseName; }
    void SetDatabaseName(const String& Value) { FDatabaseName = Value; }
    TMemoryStream& RequestBuffer() { return FRequestBuffer; }
    // A file under the directory that DatabaseName stands for on the server.
    virtual bool DeleteFile(const String& /*DatabaseName*/, const String& /*FileName*/) { return false; }
    virtual bool FileExists(const String& /*DatabaseName*/, const String& /*FileName*/) { return false; }
    // The engine-wide settings of an environment in one request; the date format
    // is the environment's TDaroruDateFrmt.
    // A table's record fetch in one request: the server moves (First and Second:
    // the table stands before its first or after its last record; Option: an
    // end of file moves to the last record) and answers the fetch result, the
    // record number and the record image (BufferSize bytes).
    virtual TGetResult ap_TraverseTable(bool /*First*/, bool /*Second*/, int /*Option*/, TGetMode /*GetMode*/,
                                        XBLONG& /*RecNo*/, char* /*Buffer*/, int /*BufferSize*/)
    {
        return grError;
    }
    virtual void ap_EnvSettings(int /*Epoch*/, int /*DateFormat*/, int /*MemoBlockSize*/, bool /*Deleted*/,
                                bool /*Century*/, bool /*SoftSeek*/, bool /*Exact*/)
    {
    }

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define XBE_FUNCTION(name, result, parameters, tier)                                                         \
    virtual result ap_##name parameters { return XbeEmptyResult<result>(); }
#include "platform/xbengine/xbe_functions.def"
#undef XBE_FUNCTION
#pragma GCC diagnostic pop

private:
    String FUserName;
    String FPassword;
    String FDatabaseName;
    TMemoryStream FRequestBuffer;
};

// Points Slot at Value and keeps Holder told when the connection goes away.
template<class Connection>
void SetConnectionReference(TComponent* Holder, Connection*& Slot, Connection* Value)
{
    if (Value == Slot)
        return;
    if (Slot)
        Slot->RemoveFreeNotification(Holder);
    Slot = Value;
    if (Value)
        Value->FreeNotification(Holder);
}
