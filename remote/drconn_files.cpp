// Server files, catalogue lists, stored procedures and server transactions.

#include <cstring>

#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "remote/drconn_requests.h"

using namespace Wire;
using C = TDaroruServerConnection;

namespace {
// The file name part of a path: the text after the last "\", "/" or ":", so
// that no name from the server or the caller reaches outside its directory.
String NamePart(const String& Path)
{
    const size_t at = Path.find_last_of("\\/:");
    return at == String::npos ? Path : Path.substr(at + 1);
}

String S255(const String& Text) { return Fixed(Text, 255); }

constexpr int ParamNameWidth = 20;
}  // namespace

bool C::DatabaseTouch(const char* Name, const char* Code, const String& Directory, const String& FileName,
                      String& Reply)
{
    if (Directory.empty() || FileName.empty())
        return false;
    const TRequestName name = Named(Name);
    String args;
    try {
        args = S255(Directory) + S255(NamePart(FileName));
    } catch (const EDaroruRequestError& e) {
        ClientError(name.Command, e.Message());
        return false;
    }
    Reply = ClientXmit(Code, args, true);
    return !FLastRequestFailed;
}

Integer C::FileLength(const String& Directory, const String& FileName)
{
    String reply;
    if (!DatabaseTouch("FileLength", "0038", Directory, FileName, reply))
        return 0;
    try {
        return ParseHex(Trim(reply));
    } catch (const std::exception&) {
        ClientError("DaroruConnection.FileLength", "FileLength");
        return 0;
    }
}

bool C::FileExists(const String& Directory, const String& FileName)
{
    String reply;
    return DatabaseTouch("FileExists", "0054", Directory, FileName, reply) && reply == "Y";
}

bool C::DeleteFile(const String& Directory, const String& FileName)
{
    String reply;
    return DatabaseTouch("DeleteFile", "0055", Directory, FileName, reply) && reply == "Y";
}

TDateTime C::GetServerDateTime()
{
    const String reply = ClientXmit("0056", "", true);
    try {
        return FLastRequestFailed ? 0 : ParseFloat(reply);
    } catch (const std::exception&) {
        return 0;
    }
}

Integer C::FileReceive(const String& Directory, const String& FileName, const String& LocalFile)
{
    if (Directory.empty() || FileName.empty())
        return 0;
    String args;
    try {
        args = S255(Directory) + NamePart(FileName);
    } catch (const EDaroruRequestError& e) {
        ClientError("DaroruConnection.FileReceive", e.Message());
        return 0;
    }
    TStream* reply = ClientStreamReceive("0036", args);
    if (FLastRequestFailed)
        return 0;
    const String target = LocalFile.empty() ? NamePart(FileName) : LocalFile;
    try {
        TFileStream file(target, fmCreate);
        if (reply)
            file.CopyFrom(*reply, reply->Size());
        return static_cast<Integer>(reply ? reply->Size() : 0);
    } catch (const std::exception&) {
        ClientError("DaroruConnection.FileReceive", "Error in stream");
        return 0;
    }
}

Integer C::FileSend(const String& Directory, const String& SourceFile, const String& TargetName)
{
    if (Directory.empty() || SourceFile.empty())
        return 0;
    if (!::FileExists(SourceFile)) {
        ClientError("DaroruConnection.FileSend", "No such file or directory");
        return 0;
    }
    String head;
    try {
        head = S255(Directory) + S255(NamePart(TargetName.empty() ? SourceFile : TargetName));
    } catch (const EDaroruRequestError& e) {
        ClientError("DaroruConnection.FileSend", e.Message());
        return 0;
    }
    FSendStream.Clear();
    std::unique_ptr<TFileStream> source;
    try {
        source = std::make_unique<TFileStream>(SourceFile, fmOpenRead | fmShareDenyNone);
    } catch (const std::exception&) {
        ClientError("DaroruServer.FileSend", "Opening source:" + SourceFile);
        return 0;
    }
    Integer sent = 0;
    try {
        FSendStream.WriteBuffer(head.data(), static_cast<Int64>(head.size()));
        FSendStream.CopyFrom(*source, source->Size());
        sent = ClientStreamSend("0037");
    } catch (const std::exception&) {
        ClientError("DaroruServer.FileSend", "Copying from source");
    }
    FSendStream.Clear();
    return sent > 510 ? sent - 510 : 0;
}

// ---- catalogues

TStream* C::Catalogue(const char* Code, const String& Args)
{
    TStream* stream = ClientStreamReceive(Code, Args);
    if (stream)
        stream->SetPosition(0);
    return stream;
}

namespace {
// The argument text of a catalogue request, or a report and false.
template<class F> bool Encoded(C& Connection, const char* Name, F Encode, String& Args)
{
    try {
        Args = Encode();
        return true;
    } catch (const EDaroruRequestError& e) {
        Connection.ClientError(String("DaroruConnection.") + Name, e.Message());
        return false;
    }
}
}  // namespace

#define CATALOGUE(Name, Code, ...)                                                                           \
    String args;                                                                                             \
    if (!Encoded(                                                                                            \
                *this, Name, [&] { return String(__VA_ARGS__); }, args))                                     \
        return nullptr;                                                                                      \
    return Catalogue(Code, args);

TStream* C::GetDataBaseNames() {CATALOGUE("GetDataBaseNames", "0039", "")} TStream* C::GetTableNames() {
        CATALOGUE("GetTableNames", "0040", DatabaseName())} TStream* C::GetProcedureNames() {
        CATALOGUE("GetProcedureNames", "0043",
                  S255(DatabaseName()))} TStream* C::GetIndexNames(const String& TableName, SmallInt Number) {
        CATALOGUE("GetIndexNames", "0046",
                  S255(DatabaseName()) + S255(TableName) +
                          Dec(Number))} TStream* C::GetDLLProcs(const String& Name) {
        CATALOGUE("GetDLLProcs", "0057",
                  S255(DatabaseName()) + S255(Name))} TStream* C::GetFiles(const String& Name) {
        CATALOGUE("GetFiles", "0058", S255(DatabaseName()) + S255(Name))} TStream* C::FindDrives() {
        CATALOGUE("FindDrives", "0059", "")} TStream* C::FindDirectories(const String& Path) {
        CATALOGUE("FindDirectories", "0060", S255(Path))} TStream* C::FindFiles(const String& Path,
                                                                                const String& Name)
{
    CATALOGUE("FindFiles", "0061", S255(Path) + S255(Name))
}
#undef CATALOGUE

void C::GetUserNames(TStrings& List)
{
    TStream* stream = ClientStreamReceive("0062", "");
    if (!stream)
        return;
    List.Clear();
    stream->SetPosition(0);
    String text(static_cast<size_t>(stream->Size()), '\0');
    stream->ReadBuffer(text.data(), static_cast<Int64>(text.size()));
    List.SetText(text);
}

// ---- stored procedures

void C::SetProcName(const String& Name)
{
    if (Name == FProcName)
        return;
    FProcName = Name;
    GetProcParams();
}

TParams* C::GetProcParams()
{
    if (!Connected() || FProcName.empty())
        return nullptr;
    FProcParams.Clear();
    return GetParams(FProcName);
}

TParams* C::GetParams(const String& ProcName)
{
    String args;
    if (!Encoded(
                *this, "GetParams", [&] { return S255(DatabaseName()) + S255(ProcName); }, args))
        return nullptr;
    if (TStream* reply = ClientStreamReceive("0044", args))
        InternalGetParams(*reply);
    return &FProcParams;
}

void C::SetProcParams(const TParams& Params)
{
    if (Connected() && !FProcName.empty())
        SetParams(FProcName, Params);
}

void C::SetParams(const String& ProcName, const TParams& Params)
{
    FProcName = ProcName;
    String block;
    try {
        block = S255(DatabaseName()) + S255(ProcName);
        for (int i = 0; i < Params.Count(); ++i) {
            const TParam& param = Params.Items(i);
            block += Hex(static_cast<Int64>(param.Data().size()), 8) + Hex(param.DataType(), 2) +
                     Hex(param.ParamType(), 2) + Fixed(param.Name(), ParamNameWidth) + param.Data();
        }
    } catch (const std::exception&) {
        ClientError("DaroruConnection.SetParams", "SetParams");
        return;
    }
    FSendStream.Clear();
    FSendStream.WriteBuffer(block.data(), static_cast<Int64>(block.size()));
    ClientStreamSend("0045");
    FSendStream.Clear();
}

void C::ExecProc()
{
    if (FProcName.empty() || !Connected()) {
        ClientError("DaroruConnection.ExecProc", "DaroruConnection not connected");
        return;
    }
    if (FProcParams.Count())
        SetParams(FProcName, FProcParams);
    String args;
    if (!Encoded(
                *this, "ExecProc", [&] { return S255(DatabaseName()) + S255(FProcName); }, args))
        return;
    if (TStream* reply = ClientStreamReceive("0042", args))
        InternalGetParams(*reply);
}

void C::InternalGetParams(TStream& Stream)
{
    Stream.SetPosition(0);
    if (Stream.Size() == 0)
        return;
    FProcParams.Clear();
    try {
        auto take = [&](Int64 Count) {
            if (Count > Stream.Size() - Stream.Position())
                throw EConvertError("Parameter block cut short");
            String bytes(static_cast<size_t>(Count), '\0');
            Stream.ReadBuffer(bytes.data(), Count);
            return bytes;
        };
        while (Stream.Position() < Stream.Size()) {
            const Integer size = ParseHex(take(8));
            if (size <= 0)
                continue;
            const auto type = static_cast<TFieldType>(ParseHex(take(2)));
            const auto direction = static_cast<TParamType>(ParseHex(take(2)));
            if (type < ftUnknown || type > ftFmtMemo || direction < ptUnknown || direction > ptResult)
                throw EConvertError("Unknown parameter type");
            const String name = Trim(take(ParamNameWidth));
            const String value = take(size);
            FProcParams.CreateParam(type, name, direction).SetData(value);
        }
    } catch (const std::exception&) {
        ClientError("DaroruConnection.InternalGetParams", "InternalGetParams");
    }
}

// ---- server transactions

bool C::Transaction(const char* Code)
{
    const String reply = ClientXmit(Code, "", true);
    return !FLastRequestFailed && reply == "Y";
}

bool C::ap_tps_BeginTransaction() { return Transaction("0700"); }
bool C::ap_tps_Commit() { return Transaction("0701"); }
bool C::ap_tps_RollBack() { return Transaction("0702"); }
