// The SQL requests of the connection: on the local SQL engine through the
// local SQL library, or on the server (0800-0809).

#include <algorithm>

#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "remote/drconn_requests.h"
#include "remote/drotables.h"
#include "remote/drsqlobj.h"

using namespace Wire;
using C = TDaroruServerConnection;

namespace {

constexpr int ParamNameWidth = 20;

String H8(Int64 Value) { return Hex(Value, 8); }

// The statement's parameters as the server's parameter records.
String ParameterRecords(const TParams& Params)
{
    String block;
    for (int i = 0; i < Params.Count(); ++i) {
        const TParam& param = Params.Items(i);
        block += H8(Int64(param.Data().size())) + Hex(param.DataType(), 2) + Hex(param.ParamType(), 2) +
                 Fixed(param.Name(), ParamNameWidth) + param.Data();
    }
    return block;
}

// Runs Request; any exception is reported under the request's name.
template<class F> void Guarded(C& Connection, const char* Name, F Request)
{
    try {
        Request();
    } catch (const std::exception&) {
        Connection.ClientError(String("DaroruConnection.sql_") + Name, String("sql_") + Name);
    }
}

}  // namespace

String C::PathFromAlias() const
{
    const String& name = DatabaseName();
    String path = name.find_first_of("\\/:.") != String::npos ? name : FDataPath;
    if (Trim(path).empty())
        path = ProgramDir();
    return IncludeTrailingPathDelimiter(NormalizePath(Trim(path)));
}

TSQLObj* C::FindSQL(int Number) const
{
    for (auto it = FSQLs.rbegin(); it != FSQLs.rend(); ++it)
        if ((*it)->Number == Number)
            return it->get();
    return nullptr;
}

void C::FreeSQLs()
{
    while (!FSQLs.empty())
        FSQLs.pop_back();
}

int C::ap_sql_Prepare(TAccessMethod Method, const String& DatabaseName, const TDaroruTables& Tables,
                      WordBool Century, int DateFormat, WordBool Deleted, int MemoBlockSize,
                      const TParams& Params, bool ReadOnly, TDaroruTableType TableType, int& Code,
                      String& Msg)
{
    int result = 0;
    Guarded(*this, "Prepare", [&] {
        int count = 0;
        String list;
        try {
            list = TableListText(Tables, count);
        } catch (const EDaroruRequestError& e) {
            Code = 1;
            Msg = e.Message();
            return;
        }
        if (Method == amLocal) {
            if (!LoadSQLDLL())
                return;
            const String path = PathFromAlias();
            if (!DirectoryExists(path)) {
                Msg = "No such DataBaseName: " + path;
                return;
            }
            FDataPath = path;
            auto statement = std::make_unique<TSQLObj>(this);
            statement->Number = ++FSQLCounter;
            statement->TableType = TableType;
            if (SqlFunctions().dll_sql_Prepare(this, statement.get(), H8(count) + list, path, Deleted != 0,
                                               Century != 0, MemoBlockSize, DateFormat, &Params, Code,
                                               Msg) < 1) {
                --FSQLCounter;
                return;
            }
            result = statement->Number;
            FSQLs.push_back(std::move(statement));
            return;
        }
        String payload;
        try {
            payload = Fixed(DatabaseName, 255) + BoolToYN(Century != 0) + H8(DateFormat) +
                      BoolToYN(Deleted != 0) + BoolToYN(ReadOnly) + H8(MemoBlockSize) +
                      H8(Int64(list.size())) + H8(count) + list + ParameterRecords(Params);
        } catch (const EDaroruRequestError& e) {
            ClientError("DaroruConnection.sql_Prepare", e.Message());
            return;
        }
        FSendStream.Clear();
        FSendStream.WriteBuffer(payload.data(), Int64(payload.size()));
        TStream* reply = ClientStreamSendReceive("0800");
        FSendStream.Clear();
        if (!reply)
            return;
        const String text = ReadPayload();
        if (text.size() < 16)
            throw EConvertError("short reply");
        result = ParseHex(text.substr(0, 8));
        Code = ParseHex(text.substr(8, 8));
        Msg = text.substr(16);
    });
    return result;
}

void C::ap_sql_UnPrepare(TAccessMethod Method, SmallInt Handle)
{
    Guarded(*this, "UnPrepare", [&] {
        if (Method == amServer) {
            ClientXmit("0801", H8(Handle), true);
            return;
        }
        auto it =
                std::find_if(FSQLs.begin(), FSQLs.end(), [&](const auto& s) { return s->Number == Handle; });
        if (it != FSQLs.end())
            FSQLs.erase(it);
    });
}

void C::ap_sql_OpenSQL(TAccessMethod Method, SmallInt Handle, const String& SQL, int& V1, int& V2, int& V3,
                       int& V4, String& Msg)
{
    Guarded(*this, "OpenSQL", [&] {
        if (Method == amLocal) {
            if (TSQLObj* statement = FindSQL(Handle))
                SqlFunctions().dll_sql_OpenSQL(statement, SQL, V1, V2, V3, V4, Msg);
            return;
        }
        // Until a whole reply says otherwise, the statement did not run.
        V1 = 1;
        const String reply = ClientXmit("0802", H8(Handle) + Trim(SQL), true);
        if (FLastRequestFailed)
            return;
        if (reply.size() < 32)
            throw EConvertError("short reply");
        const int counts[] = {ParseHex(reply.substr(8, 8)), ParseHex(reply.substr(16, 8)),
                              ParseHex(reply.substr(24, 8))};
        V1 = ParseHex(reply.substr(0, 8));
        V2 = counts[0];
        V3 = counts[1];
        V4 = counts[2];
        Msg = reply.substr(32);
    });
}

void C::ap_sql_ExecSQL(TAccessMethod Method, SmallInt Handle, const String& SQL, int& Code, String& Msg)
{
    Guarded(*this, "ExecSQL", [&] {
        if (Method == amLocal) {
            if (TSQLObj* statement = FindSQL(Handle))
                SqlFunctions().dll_sql_ExecSQL(statement, SQL, Code, Msg);
            return;
        }
        const String reply = ClientXmit("0803", H8(Handle) + Trim(SQL), true);
        if (FLastRequestFailed)
            return;
        if (reply.size() < 8)
            throw EConvertError("short reply");
        Code = ParseHex(reply.substr(0, 8));
        Msg = reply.substr(8);
    });
}

void C::ap_sql_CloseSQL(TAccessMethod Method, SmallInt Handle)
{
    Guarded(*this, "CloseSQL", [&] {
        if (Method == amServer)
            ClientXmit("0804", H8(Handle), true);
        else if (TSQLObj* statement = FindSQL(Handle))
            SqlFunctions().dll_sql_CloseSQL(statement);
    });
}

int C::ap_sql_RecCount(TAccessMethod Method, SmallInt Handle)
{
    int count = 0;
    Guarded(*this, "RecCount", [&] {
        if (Method == amLocal) {
            if (TSQLObj* statement = FindSQL(Handle))
                count = SqlFunctions().dll_sql_RecCount(statement);
            return;
        }
        const String reply = ClientXmit("0805", H8(Handle), true);
        if (!FLastRequestFailed)
            count = ParseHex(Trim(reply));
    });
    return count;
}

namespace {
// The local library's answer in the read stream, at position 0.
template<class F> TStream* LocalStream(TMemoryStream& Stream, TSQLObj* Statement, F Fill)
{
    Stream.Clear();
    if (Statement)
        Fill(*Statement, Stream);
    Stream.SetPosition(0);
    return &Stream;
}
}  // namespace

TStream* C::ap_sql_GetStructure(TAccessMethod Method, SmallInt Handle)
{
    TStream* result = nullptr;
    Guarded(*this, "GetStructure", [&] {
        if (Method == amLocal)
            result = LocalStream(FReadStream, FindSQL(Handle), [&](TSQLObj& Statement, TStream& S) {
                SqlFunctions().dll_sql_GetStructure(&Statement, S);
            });
        else if ((result = ClientStreamReceive("0806", H8(Handle))))
            result->SetPosition(0);
    });
    return result;
}

TStream* C::ap_sql_GetRecord(TAccessMethod Method, SmallInt Handle, int First, int Count, int Total)
{
    if (Count > Total - First)
        Count = Total - First + 1;
    TStream* result = nullptr;
    Guarded(*this, "GetRecord", [&] {
        if (Method == amLocal)
            result = LocalStream(FReadStream, FindSQL(Handle), [&](TSQLObj& Statement, TStream& S) {
                SqlFunctions().dll_sql_GetRecord(&Statement, First, Count, S);
            });
        else if ((result = ClientStreamReceive("0807", H8(Handle) + H8(First) + H8(Count))))
            result->SetPosition(0);
    });
    return result;
}

TStream* C::ap_sql_ReadBlobData(TAccessMethod Method, int Handle, int Field, int Row)
{
    TStream* result = nullptr;
    Guarded(*this, "ReadBlobData", [&] {
        if (Method == amLocal)
            result = LocalStream(FReadStream, FindSQL(Handle), [&](TSQLObj& Statement, TStream& S) {
                SqlFunctions().dll_sql_ReadBlobData(&Statement, Field, Row, S);
            });
        else if ((result = ClientStreamReceive("0808", H8(Handle) + H8(Field) + H8(Row))))
            result->SetPosition(0);
    });
    return result;
}

void C::ap_sql_Refresh(TAccessMethod Method, SmallInt Handle)
{
    Guarded(*this, "Refresh", [&] {
        if (Method == amServer)
            ClientXmit("0809", H8(Handle), true);
        else if (TSQLObj* statement = FindSQL(Handle))
            SqlFunctions().dll_sql_Refresh(statement);
    });
}
