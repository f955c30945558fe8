#pragma once
// The blocking TCP client under the database server protocol: a socket and
// its port (TDrVOZ), a growable receive buffer with line and block reads and
// writes (TDrVOZSocket), and host, user and password with connect and
// disconnect (TDrVOZClient). Everything blocks the calling thread. A connect
// gives up after a settable time-out; a receive waits as long as the peer lives
// (TCP keepalive finds a dead one) unless a silence limit is set.

#include <functional>
#include <memory>

#include "platform/classes/component.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"

class EDrVOZException : public Exception {
public:
    using Exception::Exception;
};
#define DRVOZ_EXCEPTION(name, base)                                                                          \
    class name : public base {                                                                               \
    public:                                                                                                  \
        using base::base;                                                                                    \
    };
DRVOZ_EXCEPTION(EDrVOZResponseError, EDrVOZException)
DRVOZ_EXCEPTION(EDrVOZClosedSocket, EDrVOZException)
DRVOZ_EXCEPTION(EDrVOZInvalidSocket, EDrVOZException)
DRVOZ_EXCEPTION(EDrVOZConnClosedGraceful, EDrVOZException)
DRVOZ_EXCEPTION(EDrVOZConnectRefused, EDrVOZException)
DRVOZ_EXCEPTION(EDrVOZGetMessage, EDrVOZException)
DRVOZ_EXCEPTION(EDrVOZInterrupted, EDrVOZException)
DRVOZ_EXCEPTION(EDrVOZTimedOut, EDrVOZInterrupted)
DRVOZ_EXCEPTION(EDrVOZNotWaiting, EDrVOZException)
DRVOZ_EXCEPTION(EDrVOZNotListening, EDrVOZException)
DRVOZ_EXCEPTION(EDrVOZAlreadyListening, EDrVOZException)
DRVOZ_EXCEPTION(EDrVOZAlreadyConnected, EDrVOZException)
DRVOZ_EXCEPTION(EDrVOZAlreadyConnecting, EDrVOZException)
#undef DRVOZ_EXCEPTION

// A failed socket call; ErrorCode is the socket error number (10000 and up).
class EDrVOZSocketError : public EDrVOZException {
public:
    EDrVOZSocketError(String Message, int Code) : EDrVOZException(std::move(Message)), ErrorCode(Code) { }
    int ErrorCode;
};

// The socket error numbers of the Windows socket library that callers and
// messages use.
enum : int {
    WSAEADDRINUSE = 10048,
    WSAEADDRNOTAVAIL = 10049,
    WSAESHUTDOWN = 10058,
    WSAETIMEDOUT = 10060,
    WSAECONNREFUSED = 10061,
    WSANO_DATA = 11004,
};
// The socket error number for an errno value, and for a resolver (EAI_) code.
int SocketErrorFromErrno(int Errno);
int SocketErrorFromResolver(int Code);
// The error's text, CR LF, "Socket Error #" and the number.
String SockErrMsg(int Code);
[[noreturn]] void Raise_SocketError(int Code);

// Time zone offsets in header text: "+0530" and back.
double GmtOffsetStrToDateTime(const String& Text);
String DateTimeToGmtOffSetStr(double Offset, bool UseGmt);

class TDrVOZ : public TComponent {
public:
    explicit TDrVOZ(TComponent* AOwner) : TComponent(AOwner) { }
    ~TDrVOZ() override;
    String ClassName() const override { return "TDrVOZ"; }

    int Port() const { return FPort; }
    void SetPort(int Value) { FPort = Value; }
    const String& BindAddress() const { return FBindAddress; }
    void SetBindAddress(const String& Value) { FBindAddress = Value; }
    int Handle() const { return FHandle; }

    virtual bool Connected() const { return FHandle != -1; }
    virtual void Disconnect();
    virtual void CloseSocket();

    // A literal address or a host name (IPv4 or IPv6); "LOCALHOST" is 127.0.0.1.
    // The first address found, as text, in Ip.
    static void ResolveHost(const String& Name, String& Ip);
    static String ResolveIP(const String& Ip);
    static String GetLocalName();
    const TStringList& GetLocalAddresses();
    String GetLocalAddress();

    // True when Result is -1 and the error is one of Ignore; raises any other.
    static bool CheckForSocketError(int Result, std::initializer_list<int> Ignore = {});

    // A new socket of the address family and type as the handle.
    virtual void AllocateSocket(int Family, int Type);
    // Binds the IPv4 socket allocated to Port on BindAddress (dotted), or on
    // every address when BindAddress is empty; port 0 takes a free one.
    void Bind();
    // Listens on the bound socket, with the system's largest backlog or Backlog.
    void Listen();
    void ListenNonDefault(int Backlog);

protected:
    int FHandle = -1;

private:
    int FPort = 0;
    String FBindAddress;
    std::unique_ptr<TStringList> FLocalAddresses;
};

using TStringEvent = std::function<void(TComponent* Sender, const String& Text)>;
using TProgressEvent = std::function<void(TComponent* Sender, int Min, int Max, int Position)>;

class TDrVOZSocket : public TDrVOZ {
public:
    explicit TDrVOZSocket(TComponent* AOwner) : TDrVOZ(AOwner) { }
    String ClassName() const override { return "TDrVOZSocket"; }

    String EOL = "\r\n";
    int BufferChunk() const { return FBufferChunk; }
    void SetBufferChunk(int Value);
    // Milliseconds a connect may wait; 0 waits for ever.
    int ConnectTimeout = 10000;
    // Milliseconds a receive may go without a byte before the peer counts as
    // lost; 0 (the default) waits as long as the connection lives.
    int ReceiveTimeout = 0;
    // TCP keepalive of a connection: seconds idle before the first probe,
    // seconds between probes, and unanswered probes that end the connection.
    // KeepAliveIdle 0 turns it off. Set before Connect.
    int KeepAliveIdle = 60;
    int KeepAliveInterval = 10;
    int KeepAliveCount = 6;

    bool ClosedGracefully() const { return FClosedGracefully; }
    int BufferSize() const { return static_cast<int>(FBuffer.size()); }
    int ReadBufferSize() const { return Held(); }

    void Write(const String& Text) { WriteFromBuffer(Text.data(), static_cast<int>(Text.size())); }
    void WriteLn(const String& Text) { Write(Text + EOL); }
    void WriteTStrings(const TStrings& List);
    void WriteHeaders(const TStrings& List);
    void WriteFromBuffer(const void* Buffer, int Count);
    void WriteToStream(TStream& Stream, bool FromStart);

    // True when a byte can be read within Msec milliseconds (-1: no limit).
    bool Readable(int Msec);
    void ReadFromWinsock();
    // Count bytes (0: one receive and nothing returned).
    virtual String Read(int Count);
    String ExtractXBytesFromBuffer(int Count);
    String ReadBuffer();
    Byte ReadByte() { return static_cast<Byte>(Read(1)[0]); }
    SmallInt ReadShortInt();
    void ReadToBuffer(void* Buffer, int Count);
    void ReadToStream(TStream& Stream, Int64 Count);
    String ReadLn();
    String ReadLnWait();
    // A line typed at a terminal, each byte echoed (as Echo when it is given);
    // a TAB takes the last character back.
    String ReadLnAndEcho(const String& Echo);

    virtual int Command(const String& Text, int Expected, int Indent, const String& StatusText);
    int GetResponse();
    int LastResponseCode() const { return FLastResponseCode; }
    const String& LastResponseText() const { return FLastResponseText; }
    TStringList& ResponseLines() { return FResponseLines; }
    // Lines until one equals a terminator; the terminator's index + 1. A "."
    // terminator undoubles leading dots. Destination: a list, a stream or none.
    int Capture(TStrings* Destination, std::initializer_list<const char*> Terminators);
    int Capture(TStream* Destination, std::initializer_list<const char*> Terminators);
    // Header lines up to Terminator into List as Name=Value entries.
    int CaptureHeader(TStrings& List, const char* Terminator);
    static void ConvertHeadersToValues(TStrings& List);

    void DoStatus(const String& Text);
    void CheckForDisconnect();

    TStringEvent OnStatus;
    TProgressEvent OnReadProgress;
    TProgressEvent OnWriteProgress;
    TProgressEvent OnServerProgress;

protected:
    void BeginWork(Int64 Size);
    virtual void DoWork(Int64 Position);
    void EndWork();
    void ClearBuffer() { FStart = FFill = 0; }
    void Transferred(Int64 Count, bool Sending);
    bool FClosedGracefully = false;

private:
    bool WaitFor(short Events, int Msec);
    String CaptureLine(std::initializer_list<const char*> Terminators, int& Found);
    int CaptureLines(std::initializer_list<const char*> Terminators,
                     const std::function<void(const String&)>& Take);

    int FBufferChunk = 8192;
    String FBuffer;
    // The unread bytes are FBuffer[FStart, FFill).
    int FStart = 0;
    int FFill = 0;
    int Held() const { return FFill - FStart; }
    int FLastResponseCode = 0;
    String FLastResponseText;
    TStringList FResponseLines;
    Int64 FWorkPosition = 0;
    Int64 FWorkSize = -2;
    Int64 FWorkKiB = 0;
};

class TDrVOZClient : public TDrVOZSocket {
public:
    explicit TDrVOZClient(TComponent* AOwner) : TDrVOZSocket(AOwner) { }
    ~TDrVOZClient() override;
    String ClassName() const override { return "TDrVOZClient"; }

    const String& Host() const { return FHost; }
    void SetHost(const String& Value) { FHost = Value; }
    const String& User() const { return FUser; }
    void SetUser(const String& Value);
    const String& Password() const { return FPassword; }
    void SetPassword(const String& Value) { FPassword = Value; }
    const String& HostIP() const { return FHostIP; }

    virtual void Connect();
    void Disconnect() override;

private:
    String FHost;
    String FUser;
    String FPassword;
    String FHostIP;
};
