// The connection component: framing, the reply packets, login and logout,
// the poll for unsolicited packets, error reports and the bound tables.

#include "remote/drconn.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/rtl/strutils.h"
#include "remote/drsqllocal.h"
#include "remote/drsqlobj.h"
#include "remote/wire.h"
#include "tables/drodset.h"
#include "tables/drosearch.h"

namespace {
void ToStandardError(const String& Text) { std::fprintf(stderr, "%s\n", Text.c_str()); }

TConnectionErrorBox& ErrorBox()
{
    static TConnectionErrorBox box = ToStandardError;
    return box;
}

constexpr int HeaderLength = 20;
}  // namespace

void SetConnectionErrorBox(TConnectionErrorBox Box) { ErrorBox() = Box ? std::move(Box) : ToStandardError; }

TPacketHeader ParsePacketHeader(const String& Header, Int64 Limit)
{
    if (Header.size() != HeaderLength)
        throw EDrVOZResponseError("Reply header is cut short");
    TPacketHeader packet;
    for (int i = 0; i < 8; ++i) {
        const char c = Header[static_cast<size_t>(i)];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                 : -1;
        if (digit < 0)
            throw EDrVOZResponseError("Reply header is not valid: " + Header.substr(0, 8));
        packet.Length = packet.Length * 16 + digit;
    }
    if (packet.Length > Limit)
        throw EDrVOZResponseError("Reply of " + std::to_string(packet.Length) +
                                  " bytes is over the limit of " + std::to_string(Limit));
    packet.Kind = Header.substr(16, 4);
    return packet;
}

TDaroruServerConnection::TDaroruServerConnection(TComponent* AOwner)
    : TDaroruConnection(AOwner), FTransport(new TDrVOZClient(this)),
      FTimer(MakePollTimer(1000, [this] { ServiceIncoming(); }))
{
    FTransport->SetPort(5000);
    FTransport->SetHost("127.0.0.1");
    // The local SQL library is linked into the server client.
    SetSqlLibrary(&LocalSqlLibrary());
}

TDaroruServerConnection::~TDaroruServerConnection()
{
    CloseDataSets();
    FreeSQLs();
    try {
        SetActive(false);
    } catch (...) {
    }
}

void TDaroruServerConnection::SetUser(const String& Value) { SetUserName(UpperCase(Value)); }

// ---- errors

void TDaroruServerConnection::ClientError(const String& Command, const String& Msg)
{
    FLastError = Msg;
    if (OnError)
        OnError(this, Command, Msg);
    else
        ErrorBox()("[" + Command + "] " + Msg);
}

void TDaroruServerConnection::ConnectionLost(const String& Command)
{
    const bool reported = FLost;
    FLost = true;
    try {
        SetActive(false);
    } catch (...) {
        FLoggedIn = false;
        FTransport->Disconnect();
    }
    ForgetWorkAreas();
    if (!reported)
        ClientError(Command, "Connection lost");
}

void TDaroruServerConnection::ForgetWorkAreas()
{
    FCurrentWorkArea = 0;
    FRecordSizes.clear();
    FLastBlobLength = -1;
    FLastLockCount = -1;
    FTexts.clear();
    FAhead = {};
}

// ---- framing

String TDaroruServerConnection::Header(const String& Code, Int64 Length) const
{
    return Wire::Hex(Length, 8) + "0000" + FConnectionID + Code;
}

void TDaroruServerConnection::WriteFrame(const String& Code, const String& Payload)
{
    ++FRequestSerial;
    FTransport->Write(Header(Code, static_cast<Int64>(Payload.size())) + Payload);
}

int TDaroruServerConnection::AwaitReply(const String& Code)
{
    FAwaitedReply = Code;
    const int length = FillReadStream(false);
    FAwaitedReply.clear();
    return length;
}

const char* TDaroruServerConnection::KeepText(const char* Code, const String& Reply)
{
    String& kept = FTexts[Code];
    kept = Reply;
    return kept.c_str();
}

const char* TDaroruServerConnection::ClientXmit(const String& Code, const String& Args, bool WantReply)
{
    SetTriggers(false);
    SettleReadAhead();
    FReply.clear();
    FLastRequestFailed = true;
    if (!Connected()) {
        if (!FLost)
            ClientError("DaroruConection.ClientXmit", "Not connected");
    } else {
        try {
            WriteFrame(Code, Args);
        } catch (const std::exception&) {
            ConnectionLost("DaroruConnection.ClientXmit");
            return FReply.c_str();
        }
        FLastRequestFailed = false;
        if (WantReply) {
            const int length = AwaitReply(Code);
            if (length > 0)
                FillInBuff();
            else if (length < 0 || !Connected())
                FLastRequestFailed = true;
        }
    }
    SetTriggers(Connected());
    return FReply.c_str();
}

int TDaroruServerConnection::ClientStreamSend(const String& Code)
{
    SettleReadAhead();
    if (FSendStream.Size() == 0 || !Connected())
        return 0;
    try {
        TMemoryStream frame;
        const String header = Header(Code, FSendStream.Size());
        frame.WriteBuffer(header.data(), HeaderLength);
        frame.WriteBuffer(FSendStream.Memory(), FSendStream.Size());
        FTransport->WriteToStream(frame, true);
        return static_cast<int>(frame.Size() - HeaderLength);
    } catch (const std::exception&) {
        ConnectionLost("DaroruConnection.ClientStreamSend");
        return 0;
    }
}

TStream* TDaroruServerConnection::ClientStreamReceive(const String& Code, const String& Args)
{
    SetTriggers(false);
    SettleReadAhead();
    TStream* result = nullptr;
    FLastRequestFailed = true;
    if (Connected()) {
        FReadStream.Clear();
        try {
            WriteFrame(Code, Args);
            FLastRequestFailed = false;
        } catch (const std::exception&) {
            ConnectionLost("DaroruConnection.ClientStreamReceive");
        }
        if (!FLastRequestFailed) {
            const int length = AwaitReply(Code);
            if (length > 0)
                result = &FReadStream;
            else if (length < 0 || !Connected())
                FLastRequestFailed = true;
        }
    }
    SetTriggers(Connected());
    return result;
}

TStream* TDaroruServerConnection::ClientStreamSendReceive(const String& Code)
{
    SetTriggers(false);
    TStream* result = nullptr;
    const Int64 size = FSendStream.Size();
    const int sent = ClientStreamSend(Code);
    if (Connected() && sent == size) {
        FReadStream.Clear();
        if (AwaitReply(Code) > 0)
            result = &FReadStream;
    }
    SetTriggers(Connected());
    return result;
}

int TDaroruServerConnection::FillReadStream(bool Poll)
{
    SetTriggers(false);
    if (!Connected())
        return 0;
    Int64 length = 0;
    try {
        if (Poll && !FTransport->Readable(1)) {
            SetTriggers(Connected());
            return 0;
        }
        FReadStream.Clear();
        for (;;) {
            const TPacketHeader packet = ParsePacketHeader(FTransport->Read(HeaderLength), MaxReplyLength);
            length = packet.Length;
            if (packet.Kind == "0302") {
                std::this_thread::sleep_for(std::chrono::milliseconds(ShutdownWait));
                FLoggedIn = false;
                FTransport->Disconnect();
                ForgetWorkAreas();
                if (OnServerMessage)
                    OnServerMessage(this, "Server shutdown");
                return -1;
            }
            if (packet.Kind == "0301") {
                const String text = FTransport->Read(static_cast<int>(length));
                if (OnServerMessage)
                    OnServerMessage(this, text);
            } else if (packet.Kind == "0300") {
                // The announced length is read whole, so the stream stays in step.
                const String progress = length > 0 ? FTransport->Read(static_cast<int>(length)) : String();
                if (progress.size() >= 24 && FTransport->OnServerProgress)
                    FTransport->OnServerProgress(this, Wire::ParseHex(progress.substr(0, 8)),
                                                 Wire::ParseHex(progress.substr(8, 8)),
                                                 Wire::ParseHex(progress.substr(16, 8)));
            } else {
                // A reply nobody waits for, or to another request: the stream
                // no longer pairs replies with requests.
                if (Poll || packet.Kind != FAwaitedReply)
                    throw EDrVOZResponseError("Reply " + packet.Kind + " where " +
                                              (Poll ? String("no reply") : FAwaitedReply) + " was awaited");
                if (length > 0) {
                    FReadStream.SetSize(0);
                    FTransport->ReadToStream(FReadStream, length);
                    FReadStream.SetPosition(0);
                }
                break;
            }
            if (Poll)
                break;
        }
    } catch (const std::exception&) {
        ConnectionLost("DaroruConnection.FillReadStream");
        return 0;
    }
    SetTriggers(Connected());
    return static_cast<int>(length);
}

const char* TDaroruServerConnection::FillInBuff()
{
    FReply = ReadPayload();
    return FReply.c_str();
}

String TDaroruServerConnection::ReadPayload()
{
    String bytes(static_cast<size_t>(FReadStream.Size()), '\0');
    if (!bytes.empty())
        std::memcpy(bytes.data(), FReadStream.Memory(), bytes.size());
    FReadStream.SetPosition(0);
    return bytes;
}

bool TDaroruServerConnection::Ping()
{
    SettleReadAhead();
    try {
        FTransport->Write(String(HeaderLength, '0'));
        return true;
    } catch (const std::exception&) {
        try {
            SetActive(false);
        } catch (...) {
            FTransport->Disconnect();
        }
        return false;
    }
}

void TDaroruServerConnection::ServiceIncoming()
{
    if (ComponentState().Contains(csDesigning) || ComponentState().Contains(csLoading) || !Connected())
        return;
    // An idle walk gives the server back its cursor before the poll reads.
    SettleReadAhead();
    FillReadStream(true);
}

// ---- connection and login

void TDaroruServerConnection::SetActive(bool Value)
{
    if (Value == Connected())
        return;
    if (!Value) {
        SetTriggers(false);
        if (FLoggedIn)
            Logout();
        FTransport->Disconnect();
        ForgetWorkAreas();
        return;
    }
    const bool designing = ComponentState().Contains(csDesigning) || ComponentState().Contains(csLoading);
    try {
        ForgetWorkAreas();
        FLost = false;
        FTransport->Connect();
        if (!UserName().empty() && !Login()) {
            FTransport->Disconnect();
            ClientError("DaroruConnection.SetActive",
                        designing ? "Login not accepted"
                                  : "Login not accepted. Maximum user count may have been exceeded");
        }
        if (!designing)
            SetTriggers(Connected());
    } catch (const std::exception&) {
        if (Connected())
            FTransport->Disconnect();
        ClientError("DaroruConnection.SetActive", "No Daroru Database Server found at " + Host());
    }
}

bool TDaroruServerConnection::Login()
{
    FLoggedIn = false;
    if (!Connected())
        return false;
    const String args = PadRight(Password(), 255, ' ') + PadRight(UserName(), 255, ' ');
    if (args.size() == 510)
        FLoggedIn = String(ClientXmit("0464", args, true)) == "Y";
    else
        ClientError("DaroruConnection.Login", "User name or password longer than 255 characters");
    if (OnLogin)
        OnLogin(this, FLoggedIn);
    return FLoggedIn;
}

void TDaroruServerConnection::Logout()
{
    // A longer name is sent whole: it is the notice's only field.
    if (Connected())
        ClientXmit("0465", PadRight(UserName(), 10, ' '), false);
    if (OnLogout)
        OnLogout(this);
    FLoggedIn = false;
}

String TDaroruServerConnection::GetConnectionID()
{
    if (!Connected())
        return "0000";
    const String reply = ClientXmit("0459", "", true);
    if (FLastRequestFailed)
        return "0000";
    // The id travels in every later frame: exactly four characters or none.
    if (reply.empty() || reply.size() > 4) {
        ClientError("DaroruConnection.GetConnectionID", "GetConnectionID");
        return reply;
    }
    FConnectionID = PadLeft(reply, 4, '0');
    return reply;
}

String TDaroruServerConnection::ServerName() { return ClientXmit("0053", "", true); }

// ---- bound tables

namespace {
template<class F> void ForEachBoundTable(const TDaroruConnection* Connection, F Action)
{
    TDaroruSearchObject search;
    for (TComponent* c = search.SearchFirstComponent("TDaroruTable"); c;
         c = search.SearchNextComponent("TDaroruTable"))
        if (auto* table = dynamic_cast<TDaroruTable*>(c); table && table->DaroruConnection() == Connection)
            Action(*table);
}
}  // namespace

void TDaroruServerConnection::CloseDataSets()
{
    ForEachBoundTable(this, [](TDaroruTable& Table) { Table.Close(); });
}

void TDaroruServerConnection::OpenDataSets()
{
    ForEachBoundTable(this, [](TDaroruTable& Table) { Table.Open(); });
}

void TDaroruServerConnection::Notification(TComponent* AComponent, TOperation Operation)
{
    TDaroruConnection::Notification(AComponent, Operation);
    if (Operation == opRemove)
        std::erase(FTransactionTables, AComponent);
}

int TDaroruServerConnection::StartTransaction()
{
    FTransactionTables.clear();
    FJournal.Clear();
    const String counters(24, '0');
    FJournal.WriteBuffer(counters.data(), 24);
    ForEachBoundTable(this, [this](TDaroruTable& Table) {
        if (Table.Active())
            FTransactionTables.push_back(&Table);
    });
    return 0;
}

int TDaroruServerConnection::Commit()
{
    if (FJournal.Size() >= 16) {
        FJournal.SetPosition(8);
        FJournal.WriteBuffer("00000000", 8);
    }
    FJournal.Clear();
    return 0;
}

int TDaroruServerConnection::RollBack() { return 0; }
