#pragma once
// The database server connection: one text protocol over the socket
// transport. Each request is a 20-character header (payload length in 8
// hexadecimal digits, "0000", the connection id, the 4-digit command code)
// and its payload; the server answers with packets of the same header, among
// them progress reports (0300), messages (0301) and a shutdown notice (0302).
// A request never raises: a failure is reported once through OnError (or the
// error box) and the request returns its empty value. A reply must answer the
// request that waits for it (its kind is the request's code); any other ends
// the connection. A lost connection is reported once: later requests fail
// quietly, with LastError still telling why, until the connection is made again.
// A table walked record by record has its next fetches sent ahead of it (see
// FetchRecord); any other request first takes their replies and puts the
// server's cursor back where the walk stands.

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "remote/apwin.h"
#include "remote/params.h"
#include "remote/polltimer.h"
#include "tables/daroruconnection.h"
#include "tables/drcommon.h"

// Where a connection's error goes when it has no OnError handler: the message
// box the program installs at start-up, else the standard error (also after
// null is installed). The text is "[" + Command + "] " + Msg.
using TConnectionErrorBox = std::function<void(const String& Text)>;
void SetConnectionErrorBox(TConnectionErrorBox Box);

// A reply packet's 20-character header: payload length and kind; raises
// EDrVOZResponseError when the length is not hexadecimal or over Limit.
struct TPacketHeader {
    Int64 Length = 0;
    String Kind;
};
TPacketHeader ParsePacketHeader(const String& Header, Int64 Limit);

class TDaroruTables;
class TSQLObj;

class TDaroruServerConnection : public TDaroruConnection {
public:
    explicit TDaroruServerConnection(TComponent* AOwner);
    ~TDaroruServerConnection() override;

    // Transport settings.
    const String& Host() const { return FTransport->Host(); }
    void SetHost(const String& Value) { FTransport->SetHost(Value); }
    int Port() const { return FTransport->Port(); }
    void SetPort(int Value) { FTransport->SetPort(Value); }
    const String& User() const { return UserName(); }
    // Stored upper-cased.
    void SetUser(const String& Value);
    TDrVOZClient& Transport() { return *FTransport; }
    // How long a shutdown notice waits before disconnecting (milliseconds).
    int ShutdownWait = 5000;
    // The largest reply payload accepted; a longer claim loses the connection.
    Int64 MaxReplyLength = 64 << 20;
    // The message of the last failure reported.
    String LastError() const override { return FLastError; }
    // Whether the connection was lost and not made again since.
    bool Lost() const { return FLost; }

    bool Connected() const override { return FTransport->Connected(); }
    bool Active() const { return Connected(); }
    virtual void SetActive(bool Value);
    const String& Version() const { return FVersion; }
    void SetVersion(const String&) { }
    const String& ConnectionID() const { return FConnectionID; }
    // The poll timer runs while connected and no request runs, and calls
    // ServiceIncoming once a second.
    bool GetTriggers() const { return FTimer->Enabled(); }
    void SetTriggers(bool Value) { FTimer->SetEnabled(Value); }
    void ServiceIncoming();

    // Framing.
    const char* ClientXmit(const String& Code, const String& Args, bool WantReply);
    int ClientStreamSend(const String& Code);
    TStream* ClientStreamReceive(const String& Code, const String& Args);
    TStream* ClientStreamSendReceive(const String& Code);
    int FillReadStream(bool Poll);
    const char* FillInBuff();
    bool Ping();
    TMemoryStream& SendStream() { return FSendStream; }
    TMemoryStream& ReadStream() { return FReadStream; }

    bool Login();
    void Logout();
    String GetConnectionID();
    String ServerName();
    void ClientError(const String& Command, const String& Msg);

    // The tables bound to this connection.
    void CloseDataSets();
    void OpenDataSets();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    int StartTransaction();
    int Commit();
    int RollBack();
    TMemoryStream& TransactionJournal() { return FJournal; }

    // Server files and catalogues.
    Integer FileReceive(const String& Directory, const String& FileName, const String& LocalFile);
    Integer FileSend(const String& Directory, const String& SourceFile, const String& TargetName);
    Integer FileLength(const String& Directory, const String& FileName);
    bool FileExists(const String& Directory, const String& FileName) override;
    bool DeleteFile(const String& Directory, const String& FileName) override;
    TDateTime GetServerDateTime();
    TStream* GetDataBaseNames();
    TStream* GetTableNames();
    TStream* GetProcedureNames();
    TStream* GetIndexNames(const String& TableName, SmallInt Number);
    TStream* GetDLLProcs(const String& Name);
    TStream* GetFiles(const String& Name);
    TStream* FindDrives();
    TStream* FindDirectories(const String& Path);
    TStream* FindFiles(const String& Path, const String& Name);
    void GetUserNames(TStrings& List);

    // Stored procedures.
    const String& ProcName() const { return FProcName; }
    void SetProcName(const String& Name);
    TParams& ProcParams() { return FProcParams; }
    TParams* GetProcParams();
    TParams* GetParams(const String& ProcName);
    void SetProcParams(const TParams& Params);
    void SetParams(const String& ProcName, const TParams& Params);
    void ExecProc();

    // SQL statements, run by the local SQL engine (amLocal) or the server.
    // Statements are known by a number: the server's handle or the number of
    // the local statement object.
    int ap_sql_Prepare(TAccessMethod Method, const String& DatabaseName, const TDaroruTables& Tables,
                       WordBool Century, int DateFormat, WordBool Deleted, int MemoBlockSize,
                       const TParams& Params, bool ReadOnly, TDaroruTableType TableType, int& Code,
                       String& Msg);
    void ap_sql_UnPrepare(TAccessMethod Method, SmallInt Handle);
    // V1 the error code (0 when the statement ran), V2 the record count, V3
    // the record size, V4 the field count.
    void ap_sql_OpenSQL(TAccessMethod Method, SmallInt Handle, const String& SQL, int& V1, int& V2, int& V3,
                        int& V4, String& Msg);
    void ap_sql_ExecSQL(TAccessMethod Method, SmallInt Handle, const String& SQL, int& Code, String& Msg);
    void ap_sql_CloseSQL(TAccessMethod Method, SmallInt Handle);
    int ap_sql_RecCount(TAccessMethod Method, SmallInt Handle);
    // The read stream at position 0, or null when no reply came.
    TStream* ap_sql_GetStructure(TAccessMethod Method, SmallInt Handle);
    TStream* ap_sql_GetRecord(TAccessMethod Method, SmallInt Handle, int First, int Count, int Total);
    TStream* ap_sql_ReadBlobData(TAccessMethod Method, int Handle, int Field, int Row);
    void ap_sql_Refresh(TAccessMethod Method, SmallInt Handle);
    // The directory of DatabaseName: itself when it is a path, else DataPath,
    // else the program's directory; with a trailing "/".
    String PathFromAlias() const;
    const String& DataPath() const { return FDataPath; }
    void SetDataPath(const String& Value) { FDataPath = Value; }
    // The local statement with that number, or null.
    TSQLObj* FindSQL(int Number) const;
    void FreeSQLs();
    int SQLCount() const { return static_cast<int>(FSQLs.size()); }

    bool ap_tps_BeginTransaction();
    bool ap_tps_Commit();
    bool ap_tps_RollBack();

    // Engine requests.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define XBE_FUNCTION(name, result, parameters, tier) result ap_##name parameters override;
#include "platform/xbengine/xbe_functions.def"
#undef XBE_FUNCTION
#pragma GCC diagnostic pop
    void ap_EnvSettings(int Epoch, int DateFormat, int MemoBlockSize, bool Deleted, bool Century,
                        bool SoftSeek, bool Exact) override;
    // The record fetch of a server data set: the fetch result (grError when no
    // reply came), the record number and the record image (up to BufferSize bytes).
    TGetResult ap_TraverseTable(bool First, bool Second, int Option, TGetMode GetMode, XBLONG& RecNo,
                                char* Buffer, int BufferSize) override;
    // Writes a memo field's text; the server's answer.
    XBLONG ap_PutMemo(const char* field, const char* text);
    // The field list of the selected table, and a new one (names separated by commas).
    const char* ap_GetFields();
    void ap_SetFields(const char* fields);
    XBLONG ap_IndexCount();
    XBLONG ap_IndexDescending();
    const char* ap_GetPage(XBSHORT page);
    // No bitmap travels over the connection.
    XBLONG ap_GetBitMap(const char* field);
    // The structure of the selected table as the server lists it, or null.
    TStream* ap_GetStructure();

    std::function<void(TObject* Sender, bool LoginAccepted)> OnLogin;
    std::function<void(TObject* Sender)> OnLogout;
    std::function<void(TObject* Sender, const String& Command, const String& Msg)> OnError;
    std::function<void(TObject* Sender, const String& Msg)> OnServerMessage;

protected:
    // The name a failed request reports under; Silent requests report nothing.
    struct TRequestName {
        String Command;
        String Message;
        bool Silent = false;
    };
    static TRequestName Named(const char* Name) { return {String("DaroruConnection.") + Name, Name}; }
    static TRequestName Quiet(const char* Name) { return {String(), Name, true}; }

    // One text request with its reply decoded; on any failure, the report and R{}.
    template<class R, class Encode, class Decode>
    R Ask(const TRequestName& Name, const char* Code, Encode Args, Decode Reply);
    // One text request that wants no reply; true when it was written.
    template<class Encode> bool Tell(const TRequestName& Name, const char* Code, Encode Args);
    // The reply payload of a text request as bytes, or false when none came.
    template<class Encode>
    bool Fetch(const TRequestName& Name, const char* Code, Encode Args, String& Payload);
    // A setting sent only while connected; nothing and no report otherwise.
    template<class Encode> void Setting(const char* Code, Encode Args);
    // The read stream's bytes.
    String ReadPayload();
    // A text result: kept in a place of the request's own (by its code), so it
    // stays valid through other requests until the same request is made again.
    const char* KeepText(const char* Code, const String& Reply);
    // A transport failure: the connection is dropped (logged out when possible).
    void ConnectionLost(const String& Command);
    // An encryption request (Code) over Length bytes of Buffer, answered in place.
    XBLONG Cipher(const char* Name, const char* Code, void* Buffer, const char* Key, XBLONG Length);
    // The record the last fetch read and left the server's cursor on, while no
    // request has been made since and the same work area is selected; else 0.
    // Go to it, its number and the end-of-file test need no request then.
    XBLONG FetchedRecord() const;
    // The record size of the selected work area, asked once per area.
    XBLONG SelectedRecordSize();
    void ForgetWorkAreas();
    void InternalGetParams(TStream& Stream);
    bool FLastRequestFailed = false;
    // Counts the requests written (fetches sent ahead not among them): a
    // fetched record stands only until the next one.
    Int64 FRequestSerial = 0;
    // The reply payload of one record fetch with argument text Args, or false
    // when none came. A walk (Walks: a fetch of the next or the prior record)
    // that repeats the fetch before has the same fetch sent ahead, in a window
    // that grows while the walk goes on, each reply still read in its turn.
    bool FetchRecord(const String& Args, int RecordSize, bool Walks, String& Payload);
    // Reads the replies of the fetches sent ahead and, when they moved the
    // server's cursor, sends it back to the record the walk stands on.
    void SettleReadAhead();

private:
    void WriteFrame(const String& Code, const String& Payload);
    // Reads the reply to the request Code (packets before it handled), as FillReadStream.
    int AwaitReply(const String& Code);
    String Header(const String& Code, Int64 Length) const;
    bool DatabaseTouch(const char* Name, const char* Code, const String& Directory, const String& FileName,
                       String& Reply);
    TStream* Catalogue(const char* Code, const String& Args);
    bool Transaction(const char* Code);

    TDrVOZClient* FTransport;
    String FVersion = "DaroruConnection 5.1.3.0";
    String FConnectionID = "0000";
    bool FLoggedIn = false;
    std::unique_ptr<TPollTimer> FTimer;
    SmallInt FCurrentWorkArea = 0;
    std::map<SmallInt, XBLONG> FRecordSizes;
    // The last blob length asked, with its work area and field, and the lock
    // count of the selected work area: what the caller sized its buffers by.
    SmallInt FLastBlobArea = 0;
    String FLastBlobField;
    XBLONG FLastBlobLength = -1;
    XBLONG FLastLockCount = -1;
    SmallInt FFetchedArea = 0;
    XBLONG FFetchedRecNo = 0;
    Int64 FFetchedSerial = -1;
    String FAwaitedReply;  // the code of the request whose reply is read; empty while polling
    // The last record fetch: its argument text, work area and record size; the
    // start of its reply (result and record number: where the walk stands);
    // the request serial after it; the fetches sent ahead whose replies are
    // unread, the window they are sent in, and whether one found an end.
    struct TReadAhead {
        String Args;
        SmallInt Area = 0;
        int RecordSize = 0;
        String Position;
        Int64 Serial = -1;
        int Pending = 0;
        int Window = 0;
        bool AtEnd = false;
    } FAhead;
    bool FLost = false;
    String FLastError;
    std::map<String, String> FTexts;
    String FProcName;
    TParams FProcParams;
    std::vector<TComponent*> FTransactionTables;
    TMemoryStream FJournal;
    TMemoryStream FReadStream;
    TMemoryStream FSendStream;
    String FReply;
    String FDataPath;
    std::vector<std::unique_ptr<TSQLObj>> FSQLs;
    int FSQLCounter = 0;
};
