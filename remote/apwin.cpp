#include "remote/apwin.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/rtl/strutils.h"
#include "remote/apglobal.h"

void Raise_SocketError(int Code) { throw EDrVOZSocketError(SockErrMsg(Code), Code); }

namespace {
[[noreturn]] void RaiseErrno() { Raise_SocketError(SocketErrorFromErrno(errno)); }

String AddressText(const sockaddr* Address, socklen_t Length)
{
    char host[NI_MAXHOST] = {};
    if (getnameinfo(Address, Length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0)
        return String();
    return host;
}

// The addresses of Name for a stream socket on Port, as the resolver gives them.
struct TAddresses {
    addrinfo* List = nullptr;
    TAddresses(const String& Name, int Port, int Flags)
    {
        addrinfo hints {};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = Flags;
        const String host = SameText(Name, "LOCALHOST") ? String("127.0.0.1") : Name;
        const String service = std::to_string(Port);
        const int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &List);
        if (rc != 0)
            Raise_SocketError(SocketErrorFromResolver(rc));
    }
    ~TAddresses() { freeaddrinfo(List); }
    TAddresses(const TAddresses&) = delete;
    TAddresses& operator=(const TAddresses&) = delete;
};
}  // namespace

double GmtOffsetStrToDateTime(const String& Text)
{
    const String text = Trim(Text);
    if (text.size() < 5 || (text[0] != '+' && text[0] != '-'))
        return 0;
    const int hours = StrToIntDef(text.substr(1, 2), 0);
    const int minutes = StrToIntDef(text.substr(3, 2), 0);
    const double value = (hours + minutes / 60.0) / 24.0;
    return text[0] == '-' ? -value : value;
}

String DateTimeToGmtOffSetStr(double Offset, bool UseGmt)
{
    if (Offset == 0 && UseGmt)
        return "GMT";
    const long minutes = std::lround(std::fabs(Offset) * 24 * 60);
    const auto twoDigits = [](long Value) { return (Value < 10 ? "0" : "") + std::to_string(Value); };
    return (Offset >= 0 ? "+" : "-") + twoDigits(minutes / 60) + twoDigits(minutes % 60);
}

// ---- TDrVOZ

TDrVOZ::~TDrVOZ()
{
    if (FHandle != -1)
        ::close(FHandle);
}

void TDrVOZ::Disconnect()
{
    if (Connected())
        CloseSocket();
}

void TDrVOZ::CloseSocket()
{
    ::close(FHandle);
    FHandle = -1;
}

void TDrVOZ::AllocateSocket(int Family, int Type)
{
    FHandle = ::socket(Family, Type | SOCK_CLOEXEC, 0);
    if (FHandle == -1)
        throw EDrVOZInvalidSocket("Cannot allocate socket.");
}

void TDrVOZ::Bind()
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(FPort));
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    if (FPort < 0 || FPort > 65535 ||
        (!FBindAddress.empty() && inet_pton(AF_INET, FBindAddress.c_str(), &address.sin_addr) != 1))
        Raise_SocketError(WSAEADDRNOTAVAIL);
    // A port whose last listener closed may be taken again at once, as on
    // Windows; two listeners on one port still exclude each other.
    const int on = 1;
    ::setsockopt(FHandle, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (CheckForSocketError(::bind(FHandle, reinterpret_cast<const sockaddr*>(&address), sizeof address),
                            {WSAEADDRINUSE}))
        throw EDrVOZException("Could not bind socket. Address and port are already in use.");
}

void TDrVOZ::Listen() { ListenNonDefault(SOMAXCONN); }

void TDrVOZ::ListenNonDefault(int Backlog) { CheckForSocketError(::listen(FHandle, Backlog)); }

void TDrVOZ::ResolveHost(const String& Name, String& Ip)
{
    TAddresses addresses(Name, 0, 0);
    Ip = AddressText(addresses.List->ai_addr, addresses.List->ai_addrlen);
}

String TDrVOZ::ResolveIP(const String& Ip)
{
    if (SameText(Ip, "127.0.0.1"))
        return "LOCALHOST";
    TAddresses addresses(Ip, 0, AI_NUMERICHOST);
    char host[NI_MAXHOST] = {};
    const int rc = getnameinfo(addresses.List->ai_addr, addresses.List->ai_addrlen, host, sizeof host,
                               nullptr, 0, NI_NAMEREQD);
    if (rc == EAI_NONAME)
        return String();
    if (rc != 0)
        Raise_SocketError(SocketErrorFromResolver(rc));
    return host;
}

String TDrVOZ::GetLocalName()
{
    char name[260] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        RaiseErrno();
    return name;
}

const TStringList& TDrVOZ::GetLocalAddresses()
{
    if (!FLocalAddresses) {
        FLocalAddresses = std::make_unique<TStringList>();
        TAddresses addresses(GetLocalName(), 0, 0);
        for (addrinfo* a = addresses.List; a && FLocalAddresses->Count() < 251; a = a->ai_next) {
            const String text = AddressText(a->ai_addr, a->ai_addrlen);
            if (FLocalAddresses->IndexOf(text) < 0)
                FLocalAddresses->Add(text);
        }
    }
    return *FLocalAddresses;
}

String TDrVOZ::GetLocalAddress()
{
    const TStringList& list = GetLocalAddresses();
    return list.Count() ? list[0] : String();
}

bool TDrVOZ::CheckForSocketError(int Result, std::initializer_list<int> Ignore)
{
    if (Result != -1)
        return false;
    const int code = SocketErrorFromErrno(errno);
    for (int ignored : Ignore)
        if (ignored == code)
            return true;
    Raise_SocketError(code);
}

// ---- TDrVOZSocket

void TDrVOZSocket::SetBufferChunk(int Value)
{
    if (Connected() || Value <= 0)
        return;
    FBufferChunk = Value;
    FBuffer.assign(static_cast<size_t>(Value), '\0');
    ClearBuffer();
}

void TDrVOZSocket::WriteTStrings(const TStrings& List)
{
    for (int i = 0; i < List.Count(); ++i)
        WriteLn(List[i]);
}

void TDrVOZSocket::WriteHeaders(const TStrings& List)
{
    for (int i = 0; i < List.Count(); ++i)
        WriteLn(StringReplace(List[i], "=", ": "));
    WriteLn(String());
}

void TDrVOZSocket::WriteFromBuffer(const void* Buffer, int Count)
{
    if (Count <= 0)
        return;
    if (!Connected())
        throw EDrVOZClosedSocket("Socket is closed, cannot write");
    const char* data = static_cast<const char*>(Buffer);
    int sent = 0;
    while (sent < Count) {
        // MSG_NOSIGNAL: a peer that went away is an error here, not a signal.
        const ssize_t n = ::send(FHandle, data + sent, static_cast<size_t>(Count - sent), MSG_NOSIGNAL);
        if (n == -1 && errno == EINTR)
            continue;
        FClosedGracefully = n == 0;
        CheckForDisconnect();
        if (CheckForSocketError(static_cast<int>(n), {WSAESHUTDOWN})) {
            Disconnect();
            Raise_SocketError(WSAESHUTDOWN);
        }
        sent += static_cast<int>(n);
    }
}

void TDrVOZSocket::WriteToStream(TStream& Stream, bool FromStart)
{
    if (FromStart)
        Stream.SetPosition(0);
    const Int64 size = Stream.Size();
    BeginWork(size);
    if (OnWriteProgress)
        OnWriteProgress(this, 0, static_cast<int>(size), 0);
    try {
        char piece[8192];
        while (Stream.Position() < size) {
            const Int64 n = Stream.Read(piece, std::min<Int64>(size - Stream.Position(), sizeof piece));
            if (n <= 0)
                break;
            WriteFromBuffer(piece, static_cast<int>(n));
            DoWork(Stream.Position());
            if (OnWriteProgress)
                OnWriteProgress(this, 0, 0, static_cast<int>(Stream.Position()));
        }
    } catch (...) {
        EndWork();
        throw;
    }
    if (OnWriteProgress)
        OnWriteProgress(this, 0, 0, 0);
    EndWork();
}

bool TDrVOZSocket::WaitFor(short Events, int Msec)
{
    pollfd fd {FHandle, Events, 0};
    for (;;) {
        const int rc = ::poll(&fd, 1, Msec);
        if (rc == -1 && errno == EINTR)
            continue;
        CheckForSocketError(rc);
        return rc == 1;
    }
}

bool TDrVOZSocket::Readable(int Msec)
{
    if (Held() > 0)
        return true;
    if (!Connected())
        return false;
    return WaitFor(POLLIN, Msec < 0 ? -1 : Msec);
}

void TDrVOZSocket::ReadFromWinsock()
{
    if (!Connected())
        throw EDrVOZClosedSocket("Socket is closed, cannot read");
    // What is still unread moves to the front once per receive, not once per read.
    if (FStart > 0) {
        std::memmove(FBuffer.data(), FBuffer.data() + FStart, static_cast<size_t>(Held()));
        FFill -= FStart;
        FStart = 0;
    }
    const int length = static_cast<int>(FBuffer.size());
    const int free = length - FFill;
    if (free < FBufferChunk / 2)
        FBuffer.resize(static_cast<size_t>(length + FBufferChunk));
    else if (free > 2 * FBufferChunk && length - FBufferChunk > FBufferChunk &&
             FFill <= length - FBufferChunk)
        FBuffer.resize(static_cast<size_t>(length - FBufferChunk));
    // A silent peer holds the caller only as long as it is allowed to.
    if (ReceiveTimeout > 0 && !WaitFor(POLLIN, ReceiveTimeout)) {
        Disconnect();
        throw EDrVOZTimedOut("Receive timed out.");
    }
    ssize_t n;
    do
        n = ::recv(FHandle, FBuffer.data() + FFill, FBuffer.size() - static_cast<size_t>(FFill), 0);
    while (n == -1 && errno == EINTR);
    FClosedGracefully = n == 0;
    if (n != 0) {
        if (CheckForSocketError(static_cast<int>(n), {WSAESHUTDOWN})) {
            Disconnect();
            Raise_SocketError(WSAESHUTDOWN);
        }
        DoWork(FWorkPosition + n);
        FFill += static_cast<int>(n);
    }
    CheckForDisconnect();
}

String TDrVOZSocket::Read(int Count)
{
    if (Count <= 0) {
        ReadFromWinsock();
        return String();
    }
    while (Held() < Count)
        ReadFromWinsock();
    return ExtractXBytesFromBuffer(Count);
}

String TDrVOZSocket::ExtractXBytesFromBuffer(int Count)
{
    if (Count > Held())
        throw Exception("Not enough data in buffer.");
    String bytes = FBuffer.substr(static_cast<size_t>(FStart), static_cast<size_t>(Count));
    FStart += Count;
    if (FStart == FFill)
        ClearBuffer();
    return bytes;
}

String TDrVOZSocket::ReadBuffer()
{
    if (Readable(1) && Held() == 0)
        ReadFromWinsock();
    return Held() > 0 ? Read(Held()) : String();
}

SmallInt TDrVOZSocket::ReadShortInt()
{
    const String two = Read(2);
    return static_cast<SmallInt>(static_cast<Byte>(two[0]) | static_cast<Byte>(two[1]) << 8);
}

void TDrVOZSocket::ReadToBuffer(void* Buffer, int Count)
{
    const String bytes = Read(Count);
    std::memcpy(Buffer, bytes.data(), bytes.size());
}

void TDrVOZSocket::ReadToStream(TStream& Stream, Int64 Count)
{
    if (OnReadProgress)
        OnReadProgress(this, 0, static_cast<int>(Count), 0);
    while (Count > 0) {
        const String piece = Read(static_cast<int>(std::min<Int64>(FBufferChunk, Count)));
        Stream.WriteBuffer(piece.data(), static_cast<Int64>(piece.size()));
        Count -= static_cast<Int64>(piece.size());
        if (OnReadProgress)
            OnReadProgress(this, 0, 0, static_cast<int>(Stream.Position()));
    }
    if (OnReadProgress)
        OnReadProgress(this, 0, 0, 0);
}

String TDrVOZSocket::ReadLn()
{
    for (;;) {
        const size_t at = std::string_view(FBuffer.data() + FStart, static_cast<size_t>(Held())).find(EOL);
        if (at != String::npos) {
            String line = ExtractXBytesFromBuffer(static_cast<int>(at + EOL.size()));
            line.resize(at);
            return line;
        }
        ReadFromWinsock();
    }
}

String TDrVOZSocket::ReadLnWait()
{
    String line;
    while (Trim(line = ReadLn()).empty()) { }
    return line;
}

String TDrVOZSocket::ReadLnAndEcho(const String& Echo)
{
    String line;
    for (;;) {
        const char c = static_cast<char>(ReadByte());
        if (c == '\r')
            break;
        if (c == '\t') {
            Write("\t \t");
            if (!line.empty())
                line.pop_back();
        } else if (c != '\n') {
            line += c;
            Write(Echo.empty() ? String(1, c) : Echo);
        }
    }
    Write("\r\n");
    return line;
}

int TDrVOZSocket::Command(const String& Text, int Expected, int Indent, const String& StatusText)
{
    if (!Text.empty())
        WriteLn(Text);
    GetResponse();
    if (Expected >= 0 && FLastResponseCode != Expected)
        throw EDrVOZResponseError(FLastResponseText);
    const String indent(static_cast<size_t>(std::max(Indent, 0)) * 2, ' ');
    if (StatusText == "*")
        DoStatus(indent + FLastResponseText);
    else if (!StatusText.empty())
        DoStatus(indent + StatusText);
    return FLastResponseCode;
}

int TDrVOZSocket::GetResponse()
{
    FResponseLines.Clear();
    String line = ReadLnWait();
    if (line.size() > 3 && line[3] == '-') {
        const String terminator = line.substr(0, 3) + " ";
        FResponseLines.Add(line);
        do {
            line = ReadLnWait();
            FResponseLines.Add(line);
        } while (line.compare(0, terminator.size(), terminator) != 0);
    }
    FLastResponseText = line;
    if (line.rfind("+OK", 0) == 0)
        FLastResponseCode = 1;
    else if (line.rfind("-ERR", 0) == 0)
        FLastResponseCode = 0;
    else {
        const int code = StrToInt(line.substr(0, 3));
        if (code < -32768 || code > 32767)
            throw EConvertError("'" + line.substr(0, 3) + "' is not a valid response code");
        FLastResponseCode = code;
    }
    return FLastResponseCode;
}

String TDrVOZSocket::CaptureLine(std::initializer_list<const char*> Terminators, int& Found)
{
    String line = ReadLn();
    int i = 0;
    for (const char* terminator : Terminators) {
        if (line == terminator) {
            Found = i + 1;
            return String();
        }
        ++i;
    }
    if (Terminators.size() && String(*Terminators.begin()) == "." && line.rfind("..", 0) == 0)
        line.erase(0, 1);
    return line;
}

int TDrVOZSocket::CaptureLines(std::initializer_list<const char*> Terminators,
                               const std::function<void(const String&)>& Take)
{
    BeginWork(0);
    int found = 0;
    while (!found) {
        const String line = CaptureLine(Terminators, found);
        if (!found)
            Take(line);
    }
    EndWork();
    return found;
}

int TDrVOZSocket::Capture(TStrings* Destination, std::initializer_list<const char*> Terminators)
{
    return CaptureLines(Terminators, [&](const String& Line) {
        if (Destination)
            Destination->Add(Line);
    });
}

int TDrVOZSocket::Capture(TStream* Destination, std::initializer_list<const char*> Terminators)
{
    return CaptureLines(Terminators, [&](const String& Line) {
        if (Destination)
            StreamWriteLn(*Destination, Line);
    });
}

int TDrVOZSocket::CaptureHeader(TStrings& List, const char* Terminator)
{
    List.Clear();
    const int found = Capture(&List, {Terminator});
    ConvertHeadersToValues(List);
    return found;
}

void TDrVOZSocket::ConvertHeadersToValues(TStrings& List)
{
    TStringList entries;
    for (int i = 0; i < List.Count(); ++i) {
        const String line = List[i];
        if (!line.empty() && (line[0] == '\t' || line[0] == ' ') && entries.Count()) {
            const String more = Trim(StringReplace(line, "\t", " ", rfReplaceAll));
            entries.Put(entries.Count() - 1, entries[entries.Count() - 1] + " " + more);
        } else
            entries.Add(StringReplace(line, ": ", "="));
    }
    List.Clear();
    for (int i = 0; i < entries.Count(); ++i)
        List.Add(entries[i]);
}

void TDrVOZSocket::DoStatus(const String& Text)
{
    if (!OnStatus)
        return;
    try {
        OnStatus(this, Text);
    } catch (Exception& e) {
        // Rethrown as the same exception, saying where it came from.
        e.SetMessage(e.Message() + " occurred in user's OnStatus Event.");
        throw;
    }
}

void TDrVOZSocket::CheckForDisconnect()
{
    if (FClosedGracefully) {
        Disconnect();
        throw EDrVOZConnClosedGraceful("Connection Closed Gracefully.");
    }
}

void TDrVOZSocket::BeginWork(Int64 Size)
{
    FWorkPosition = 0;
    FWorkSize = Size;
}

void TDrVOZSocket::DoWork(Int64 Position)
{
    FWorkPosition = Position;
    if (FWorkSize != -2 && (Position == -1 || Position / 1024 > FWorkKiB))
        FWorkKiB = Position / 1024;
}

void TDrVOZSocket::EndWork()
{
    FWorkSize = -1;
    DoWork(FWorkPosition);
    FWorkSize = -2;
}

// ---- TDrVOZClient

TDrVOZClient::~TDrVOZClient()
{
    if (Connected())
        Disconnect();
    OnStatus = nullptr;
}

void TDrVOZClient::SetUser(const String& Value) { FUser = UpperCase(Value); }

void TDrVOZClient::Connect()
{
    if (Connected())
        throw EDrVOZAlreadyConnected("Already connected.");
    DoStatus("Connecting to " + FHost);
    SetBufferChunk(BufferChunk());
    if (Port() < 0 || Port() > 65535)
        throw EDrVOZException("Port out of range: " + std::to_string(Port()));
    TAddresses addresses(FHost, Port(), 0);
    int lastError = WSAECONNREFUSED;
    for (addrinfo* a = addresses.List; a; a = a->ai_next) {
        AllocateSocket(a->ai_family, SOCK_STREAM | SOCK_NONBLOCK);
        int rc = ::connect(FHandle, a->ai_addr, a->ai_addrlen);
        if (rc == -1 && errno == EINPROGRESS) {
            pollfd fd {FHandle, POLLOUT, 0};
            int ready;
            do
                ready = ::poll(&fd, 1, ConnectTimeout > 0 ? ConnectTimeout : -1);
            while (ready == -1 && errno == EINTR);
            int error = 0;
            socklen_t size = sizeof error;
            if (ready == 0)
                error = ETIMEDOUT;
            else if (ready < 0)
                error = errno;
            else
                getsockopt(FHandle, SOL_SOCKET, SO_ERROR, &error, &size);
            errno = error;
            rc = error ? -1 : 0;
        }
        if (rc == 0) {
            ::fcntl(FHandle, F_SETFL, ::fcntl(FHandle, F_GETFL) & ~O_NONBLOCK);
            const int on = 1;
            setsockopt(FHandle, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            if (KeepAliveIdle > 0) {
                setsockopt(FHandle, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
                setsockopt(FHandle, IPPROTO_TCP, TCP_KEEPIDLE, &KeepAliveIdle, sizeof KeepAliveIdle);
                setsockopt(FHandle, IPPROTO_TCP, TCP_KEEPINTVL, &KeepAliveInterval, sizeof KeepAliveInterval);
                setsockopt(FHandle, IPPROTO_TCP, TCP_KEEPCNT, &KeepAliveCount, sizeof KeepAliveCount);
            }
            FHostIP = AddressText(a->ai_addr, a->ai_addrlen);
            DoStatus("Socket Connected");
            FClosedGracefully = false;
            return;
        }
        lastError = SocketErrorFromErrno(errno);
        CloseSocket();
    }
    Raise_SocketError(lastError);
}

void TDrVOZClient::Disconnect()
{
    DoStatus("Disconnecting");
    ClearBuffer();
    FHostIP.clear();
    TDrVOZSocket::Disconnect();
    DoStatus("Disconnected");
}
