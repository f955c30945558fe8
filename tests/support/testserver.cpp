#include "tests/support/testserver.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/rtl/floattext.h"
#include "platform/rtl/sharelocks.h"
#include "platform/rtl/strutils.h"
#include "platform/xbengine/xbe50.h"
#include "remote/wire.h"
#include "tables/drodset.h"
#include "tables/xbe50.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr int PollMs = 50;

String Hex8(Int64 Value) { return Wire::Hex(Value, 8); }

// Reads the fields of a request's argument text in order.
class TArgs {
public:
    explicit TArgs(const String& Text) : FText(Text) { }
    String Take(size_t Count)
    {
        const String piece = FText.substr(std::min(FAt, FText.size()), Count);
        FAt += Count;
        return piece;
    }
    String Fixed(size_t Width) { return TrimRight(Take(Width)); }
    int Hex(size_t Digits) { return Wire::ParseHex(Take(Digits)); }
    int Dec(size_t Digits) { return Wire::ParseTrimmedDec(Take(Digits)); }
    bool YN() { return Take(1) == "Y"; }
    String Rest() { return FAt < FText.size() ? FText.substr(FAt) : String(); }

private:
    String FText;
    size_t FAt = 0;
};

String Text(const char* Value) { return Value ? Value : ""; }
String YN(XBBOOL Value) { return Value ? "Y" : "N"; }
String Num(Int64 Value) { return std::to_string(Value); }

String Packet(const String& Kind, const String& Payload)
{
    return Hex8(static_cast<Int64>(Payload.size())) + "00000000" + Kind + Payload;
}

void SendAll(int Socket, const String& Bytes)
{
    size_t sent = 0;
    while (Socket != -1 && sent < Bytes.size()) {
        const ssize_t n = send(Socket, Bytes.data() + sent, Bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<size_t>(n);
    }
}

// The outcome of looking for a whole request frame in what has been received.
enum class TFrameFound { Whole, Partial, Broken };

TFrameFound TakeFrame(const String& Received, size_t& At, TTestServer::TFrame& Frame)
{
    if (Received.size() - At < 20)
        return TFrameFound::Partial;
    const String header = Received.substr(At, 20);
    Int64 length = 0;
    try {
        length = Wire::ParseHex(header.substr(0, 8));
    } catch (const std::exception&) {
        return TFrameFound::Broken;
    }
    if (length < 0 || length > (64 << 20))
        return TFrameFound::Broken;
    if (Received.size() - At - 20 < static_cast<size_t>(length))
        return TFrameFound::Partial;
    Frame.ConnectionID = header.substr(12, 4);
    Frame.Code = header.substr(16, 4);
    Frame.Payload = Received.substr(At + 20, static_cast<size_t>(length));
    At += 20 + static_cast<size_t>(length);
    return TFrameFound::Whole;
}
}  // namespace

void TTestServer::TSession::Send(const String& Kind, const String& Payload)
{
    SendRaw(Packet(Kind, Payload));
}

void TTestServer::TSession::SendRaw(const String& Bytes)
{
    std::lock_guard lock(FSending);
    FHeld += Bytes;
    SendAll(FSocket, FHeld);
    FHeld.clear();
}

void TTestServer::TSession::Queue(const String& Kind, const String& Payload)
{
    std::lock_guard lock(FSending);
    FHeld += Packet(Kind, Payload);
    if (FHeld.size() >= (256 << 10)) {
        SendAll(FSocket, FHeld);
        FHeld.clear();
    }
}

void TTestServer::TSession::Flush() { SendRaw(String()); }

void TTestServer::TSession::Close()
{
    Flush();
    if (FSocket != -1)
        shutdown(FSocket, SHUT_RDWR);
}

TTestServer::TTestServer(const String& DataDir, std::map<String, String> Users, int LifetimeSeconds)
    : FDataDir(DataDir), FUsers(std::move(Users)), FLifetimeSeconds(LifetimeSeconds)
{
    LoadDLL();
    // The transport's own listener, on the loopback address and a free port.
    FListener.AllocateSocket(AF_INET, SOCK_STREAM);
    FListener.SetBindAddress("127.0.0.1");
    FListener.Bind();
    FListener.Listen();
    sockaddr_in address {};
    socklen_t size = sizeof address;
    if (getsockname(FListener.Handle(), reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("test server cannot listen");
    FPort = ntohs(address.sin_port);
    FListenThread = std::thread([this] { Listen(); });
}

TTestServer::~TTestServer()
{
    FStopping = true;
    FListenThread.join();
    for (std::thread& t : FSessionThreads)
        t.join();
    for (auto& session : FSessions)
        if (session->FSocket != -1)
            close(session->FSocket);
}

void TTestServer::On(const String& Code, THandler Handler)
{
    std::lock_guard lock(FMutex);
    FHandlers[Code] = std::move(Handler);
}

void TTestServer::Push(const String& Kind, const String& Payload)
{
    std::lock_guard lock(FMutex);
    for (auto& session : FSessions)
        session->Send(Kind, Payload);
}

std::vector<TTestServer::TFrame> TTestServer::Frames() const
{
    std::lock_guard lock(FMutex);
    return FFrames;
}

std::vector<TTestServer::TFrame> TTestServer::Frames(const String& Code) const
{
    std::vector<TFrame> frames;
    for (const TFrame& f : Frames())
        if (f.Code == Code)
            frames.push_back(f);
    return frames;
}

void TTestServer::ClearFrames()
{
    std::lock_guard lock(FMutex);
    FFrames.clear();
}

void TTestServer::AddProcedure(const String& Name, const String& ParameterBlock)
{
    std::lock_guard lock(FMutex);
    FProcedures[UpperCase(Name)] = ParameterBlock;
}

void TTestServer::Listen()
{
    const auto end = Clock::now() + std::chrono::seconds(FLifetimeSeconds);
    while (!FStopping && Clock::now() < end) {
        pollfd fd {FListener.Handle(), POLLIN, 0};
        if (poll(&fd, 1, PollMs) <= 0)
            continue;
        const int client = accept4(FListener.Handle(), nullptr, nullptr, SOCK_CLOEXEC);
        if (client == -1)
            continue;
        const int on = 1;
        setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        std::lock_guard lock(FMutex);
        FSessions.push_back(std::make_unique<TSession>());
        TSession* session = FSessions.back().get();
        session->FSocket = client;
        session->FId = static_cast<int>(FSessions.size());
        FSessionThreads.emplace_back([this, session] { Serve(session); });
    }
    FStopping = true;
}

void TTestServer::Serve(TSession* Session)
{
    // What has been received; the frames before At have been answered.
    String received;
    size_t at = 0;
    auto partSince = Clock::now();
    std::vector<char> chunk(64 << 10);
    // Bounded: a session ends with the server, on a close, after a frame cut
    // short for 30 s, or after this many frames.
    for (int frames = 0; frames < 10'000'000 && !FStopping;) {
        TFrame frame;
        const TFrameFound found = TakeFrame(received, at, frame);
        if (found == TFrameFound::Broken)
            break;
        if (found == TFrameFound::Whole) {
            frame.Session = Session->Id();
            {
                std::lock_guard lock(FMutex);
                FFrames.push_back(frame);
            }
            Answer(*Session, frame);
            ++frames;
            partSince = Clock::now();
            continue;
        }
        // Every request that came whole has been answered: the replies go together.
        Session->Flush();
        received.erase(0, at);
        at = 0;
        if (received.empty())
            partSince = Clock::now();
        else if (Clock::now() - partSince > std::chrono::seconds(30))
            break;
        pollfd fd {Session->FSocket, POLLIN, 0};
        if (poll(&fd, 1, PollMs) <= 0)
            continue;
        const ssize_t n = recv(Session->FSocket, chunk.data(), chunk.size(), 0);
        if (n <= 0)
            break;
        received.append(chunk.data(), static_cast<size_t>(n));
    }
    Session->Flush();
    shutdown(Session->FSocket, SHUT_RDWR);
}

void TTestServer::Answer(TSession& Session, const TFrame& Frame)
{
    THandler handler;
    {
        std::lock_guard lock(FMutex);
        const auto found = FHandlers.find(Frame.Code);
        if (found != FHandlers.end())
            handler = found->second;
    }
    if (handler && handler(Session, Frame))
        return;
    if (Frame.Code == "0000")
        return;  // a ping
    bool reply = true;
    String payload;
    {
        std::lock_guard lock(FEngineMutex);
        try {
            const int code = StrToIntDef(Frame.Code, -1);
            payload = code >= 800 && code <= 809 ? Sql(Frame) : Engine(Session, Frame, reply);
        } catch (const std::exception&) {
            payload.clear();
        }
    }
    if (reply)
        Session.Queue(Frame.Code, payload);
}

String TTestServer::DirectoryOf(const String& DatabaseName) const
{
    if (DatabaseName.empty())
        return FDataDir;
    String dir = DatabaseName[0] == '/' ? DatabaseName : FDataDir + DatabaseName;
    if (dir.back() != '/')
        dir += '/';
    return dir;
}

String TTestServer::InData(const String& Path) const
{
    return !Path.empty() && Path[0] == '/' ? Path : FDataDir + Path;
}

String TTestServer::Engine(TSession& Session, const TFrame& Frame, bool& Reply)
{
    TArgs a(Frame.Payload);
    const int code = StrToIntDef(Frame.Code, -1);
    auto none = [&] {
        Reply = false;
        return String();
    };
    // Requests that name no work area; the rest act on the client's own.
    switch (code) {
    case 464: {  // login: password, user
        const String password = a.Fixed(255);
        const String user = a.Fixed(255);
        const auto known = FUsers.find(user);
        const bool accepted = FUsers.empty() || (known != FUsers.end() && known->second == password);
        if (accepted)
            Session.User = user;
        return accepted ? "Y" : "N";
    }
    case 465: return none();
    case 459: return Wire::Hex(Session.Id(), 4);
    case 53: return "Test server";
    case 56: return FloatToStr(45000.5);
    case 38:
    case 54:
    case 55: {
        const String dir = DirectoryOf(a.Fixed(255));
        const String path = dir + a.Fixed(255);
        const bool exists = std::filesystem::is_regular_file(path);
        if (code == 38)
            return exists ? Wire::Hex(static_cast<Int64>(std::filesystem::file_size(path)), 8) : "0";
        if (code == 54)
            return YN(exists);
        // A file another client has open stays.
        return YN(exists && !sharelocks::FileInUse(path) && std::filesystem::remove(path));
    }
    case 36: {
        const String dir = DirectoryOf(a.Fixed(255));
        std::ifstream in(dir + a.Rest(), std::ios::binary);
        return String(std::istreambuf_iterator<char>(in), {});
    }
    case 37: {
        const String dir = DirectoryOf(a.Fixed(255));
        std::ofstream out(dir + a.Fixed(255), std::ios::binary | std::ios::trunc);
        const String content = a.Rest();
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        return none();
    }
    case 39: return "DATA\r\n";
    case 40:
    case 61: {
        String lines;
        const String dir = code == 40 ? DirectoryOf(a.Rest()) : DirectoryOf(a.Fixed(255));
        std::vector<String> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            if (code == 61 || UpperCase(entry.path().extension().string()) == ".DBF")
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        for (const String& name : names)
            lines += name + "\r\n";
        return lines;
    }
    case 43: {
        String lines;
        std::lock_guard lock(FMutex);
        for (const auto& [name, block] : FProcedures)
            lines += name + "\r\n";
        return lines;
    }
    case 44:
    case 42: {
        a.Fixed(255);
        const String name = UpperCase(a.Fixed(255));
        std::lock_guard lock(FMutex);
        if (code == 44)
            return FProcedures.count(name) ? FProcedures[name] : String();
        return FProcedureValues[name];
    }
    case 45: {
        a.Fixed(255);
        const String name = UpperCase(a.Fixed(255));
        // The output: every value changed in a way the test can predict.
        String out;
        TArgs block(a.Rest());
        while (!block.Rest().empty()) {
            const int size = block.Hex(8);
            const int type = block.Hex(2);
            const String direction = block.Take(2);
            const String pname = block.Take(20);
            String value = block.Take(static_cast<size_t>(size));
            if (type == 3) {  // integer
                Integer v;
                std::memcpy(&v, value.data(), 4);
                v *= 2;
                std::memcpy(value.data(), &v, 4);
            } else if (type == 6 || type == 7) {  // float, currency
                double v;
                std::memcpy(&v, value.data(), 8);
                v *= 2;
                std::memcpy(value.data(), &v, 8);
            } else if (type == 1) {
                value = UpperCase(value);
            } else if (type == 5) {
                value[0] = value[1] = static_cast<char>(value[0] ? 0 : 0xFF);
            }
            out += Wire::Hex(size, 8) + Wire::Hex(type, 2) + direction + pname + value;
        }
        std::lock_guard lock(FMutex);
        FProcedureValues[name] = out;
        return none();
    }
    case 700:
    case 701:
    case 702: return "Y";
    case 504: Session.Area = a.Hex(4); return String();
    case 621: {  // the environment's settings
        const int epoch = a.Hex(4);
        const int dateFormat = a.Hex(4);
        const int memoBlock = a.Hex(4);
        static constexpr XBSHORT DateCodes[] = {0, 1, 2, 3, 4, 5, 6, 99};
        XBE_CALL(xb_SetEpoch, static_cast<XBWORD>(epoch));
        XBE_CALL(xb_SetDateFormat, DateCodes[std::clamp(dateFormat, 0, 7)]);
        XBE_CALL(xb_SetMemoBlockSize, static_cast<XBWORD>(memoBlock));
        XBE_CALL(xb_SetDeleted, a.YN());
        XBE_CALL(xb_SetCentury, a.YN());
        XBE_CALL(xb_SetSoftSeek, a.YN());
        XBE_CALL(xb_SetExact, a.YN());
        return String();
    }
    case 505: XBE_CALL(xb_SetSoftSeek, a.YN()); return none();
    case 506: XBE_CALL(xb_SetExact, a.YN()); return none();
    case 508: XBE_CALL(xb_SetDeleted, a.YN()); return none();
    case 556: XBE_CALL(xb_SetCentury, a.YN()); return none();
    case 557: XBE_CALL(xb_SetDateFormat, static_cast<XBSHORT>(a.Hex(8))); return none();
    case 593: return Num(XBE_CALL(xb_SetEpoch, static_cast<XBWORD>(a.Hex(8))));
    case 594: XBE_CALL(xb_SetMemoBlockSize, static_cast<XBWORD>(a.Dec(10))); return none();
    case 577: XBE_CALL(xb_SetLockTimeout, static_cast<XBSHORT>(a.Dec(10))); return none();
    case 563: {
        const int property = a.Hex(8);
        return Num(XBE_CALL(xb_SysProp, static_cast<XBSHORT>(property), a.Hex(8)));
    }
    case 468:
    case 562: {  // open or create: the file in the directory its database name stands for, and an alias
        const String file = a.Fixed(255);
        const size_t slash = file.find_last_of("\\/:");
        const String dir = DirectoryOf(slash == String::npos ? String() : file.substr(0, slash));
        const String name = slash == String::npos ? file : file.substr(slash + 1);
        // The alias asked for, unless another client's work area has it: named
        // then as the table layer names a local work area.
        const String asked = a.Fixed(255);
        const auto taken = [](const String& Alias) { return XBE_CALL(xb_WorkArea, Alias.c_str()) > 0; };
        const String alias = asked.empty() || taken(asked) ? UniqueAliasName(name, taken) : asked;
        if (code == 562) {
            const int type = a.Hex(1);
            const String target = dir + name;
            // A table another client has open is not made anew under it.
            if (sharelocks::FileInUse(name.find('.') == String::npos ? target + ".DBF" : target))
                return "0";
            Session.Area = XBE_CALL(xb_CreateNew, target.c_str(), alias.c_str(), static_cast<XBSHORT>(type),
                                    static_cast<XBSHORT>(a.Hex(8)));
            return Num(Session.Area);
        }
        const auto mode = static_cast<XBSHORT>(a.Dec(1));
        const auto type = static_cast<XBSHORT>(a.Dec(1));
        Session.Area = XBE_CALL(xb_Use, (dir + name).c_str(), alias.c_str(), mode, type);
        // As the table layer does locally: a table whose index could not be
        // opened, or whose damage could not be put right, stays shut.
        const int warning = XbeLastError();
        if (Session.Area > 0 &&
            (warning == XBE_E_CORRUPT_INDEX || warning == XBE_E_IN_USE || warning == XBE_E_CORRUPT_DATA)) {
            XBE_CALL(xb_Close);
            Session.Area = 0;
        }
        return Wire::Hex(std::max<int>(Session.Area, 0), 1);
    }
    default: break;
    }

    if (Session.Area > 0)
        XBE_CALL(xb_Select, static_cast<XBSHORT>(Session.Area));
    switch (code) {
    case 470: return Num(XBE_CALL(xb_RecCount));
    case 471: return Num(XBE_CALL(xb_Query, a.Rest().c_str()));
    case 472: XBE_CALL(xb_Append); return none();
    case 473: XBE_CALL(xb_AppendBlank); return none();
    case 476: return YN(XBE_CALL(xb_Bof));
    case 477: XBE_CALL(xb_Delete); return none();
    case 478: return YN(XBE_CALL(xb_Deleted));
    case 479: return YN(XBE_CALL(xb_Eof));
    case 480: {
        const String field = a.Rest();
        String blob(static_cast<size_t>(std::max(XBE_CALL(xb_GetBlobLength, field.c_str()), 0)), '\0');
        blob.resize(static_cast<size_t>(std::max(XBE_CALL(xb_GetBlob, field.c_str(), blob.data()), 0)));
        return blob;
    }
    case 481: return Num(XBE_CALL(xb_GetBlobLength, a.Rest().c_str()));
    case 482: return Text(XBE_CALL(xb_GetByte, a.Rest().c_str()));
    case 483: return Wire::Hex(XBE_CALL(xb_GetDateJulian, a.Rest().c_str()), 1);
    case 484: return Text(XBE_CALL(xb_GetDateString, a.Rest().c_str()));
    case 485: return FloatToStr(XBE_CALL(xb_GetDouble, a.Rest().c_str()));
    case 486: return Num(XBE_CALL(xb_GetInteger, a.Rest().c_str()));
    case 487: return YN(XBE_CALL(xb_GetLogical, a.Rest().c_str()));
    case 488: return Num(XBE_CALL(xb_GetLong, a.Rest().c_str()));
    case 489: {
        const int width = a.Hex(8);
        char* memo = XBE_CALL(xb_GetMemo, a.Rest().c_str(), static_cast<XBWORD>(width));
        const String text = Text(memo);
        XBE_CALL(xb_MemDealloc, memo);
        return text;
    }
    case 491: return Text(XBE_CALL(xb_GetString, a.Rest().c_str()));
    case 492: return Text(XBE_CALL(xb_GetTrimString, a.Rest().c_str()));
    case 493: XBE_CALL(xb_Go, a.Hex(8)); return String();
    case 494: XBE_CALL(xb_GoBottom); return none();
    case 495: XBE_CALL(xb_GoTop); return none();
    case 498: {
        const String field = a.Fixed(10);
        const int length = a.Hex(8);
        const String data = a.Take(static_cast<size_t>(length));
        Session.LastPutBlob = XBE_CALL(xb_PutBlob, field.c_str(), data.data(), length);
        return none();
    }
    case 624: return Wire::Hex(Session.LastPutBlob, 1);
    case 499: {
        const String image = Frame.Payload;
        XBE_CALL(xb_PutRecord, image.c_str());
        return none();
    }
    case 500: return Num(XBE_CALL(xb_RecNo));
    case 501: {
        const String field = a.Fixed(10);
        const int type = a.Hex(4);
        const String value = a.Rest() + '\0';
        XBE_CALL(xb_Replace, field.c_str(), static_cast<XBSHORT>(type), value.data());
        return none();
    }
    case 502: return YN(XBE_CALL(xb_Rlock, a.Dec(10)));
    case 503: return YN(XBE_CALL(xb_Seek, a.Rest().c_str()));
    case 507: return Num(XBE_CALL(xb_SetOrder, static_cast<XBSHORT>(a.Hex(4))));
    case 509: XBE_CALL(xb_Skip, a.Hex(8)); return none();
    case 510: XBE_CALL(xb_Unlock, a.Hex(8)); return none();
    case 511: XBE_CALL(xb_Commit); return none();
    case 513: return Text(XBE_CALL(xb_Descend, a.Rest().c_str()));
    case 514: return Num(XBE_CALL(xb_RecSize));
    case 591: {  // a table's record fetch: move as the table layer does locally, then read
        const bool first = a.YN();
        const bool last = a.YN();
        const bool moveLast = a.Take(1) == "1";
        const int mode = StrToIntDef(a.Rest(), -1);
        const XBLONG previous = first || last ? 0 : XBE_CALL(xb_RecNo);
        int result = 0;  // the fetch results: 0 a record, 1 before the first, 2 after the last
        if (mode == 0) {
            if (XBE_CALL(xb_Bof) && XBE_CALL(xb_Eof))
                result = 2;
            else if (XBE_CALL(xb_Eof) && moveLast) {
                XBE_CALL(xb_GoBottom);
                result = XBE_CALL(xb_Eof) ? 2 : 0;
            } else if (!XBE_CALL(xb_Eof))
                XBE_CALL(xb_Go, XBE_CALL(xb_RecNo));  // the current record as it is now, not as last read
        } else if (mode == 1) {
            if (first)
                XBE_CALL(xb_GoTop);
            else
                XBE_CALL(xb_Skip, 1);
            if (XBE_CALL(xb_Eof) || XBE_CALL(xb_RecNo) == previous) {
                XBE_CALL(xb_GoBottom);
                result = 2;
            }
        } else {
            if (last)
                XBE_CALL(xb_GoBottom);
            else
                XBE_CALL(xb_Skip, -1);
            if (XBE_CALL(xb_Bof) || XBE_CALL(xb_RecNo) == previous) {
                XBE_CALL(xb_GoTop);
                result = 1;
            }
        }
        String image;
        if (result == 0) {
            image.assign(static_cast<size_t>(XBE_CALL(xb_RecSize)), '\0');
            XBE_CALL(xb_GetRecord, image.data());
        }
        return std::to_string(result) + Hex8(XBE_CALL(xb_RecNo)) + image;
    }
    case 582: {
        String fields;
        for (int i = 1, n = XBE_CALL(xb_FieldCount); i <= n; ++i)
            fields += (i > 1 ? "," : "") + Text(XBE_CALL(xb_FieldName, static_cast<XBSHORT>(i)));
        return fields;
    }
    case 515: {
        String image(static_cast<size_t>(XBE_CALL(xb_RecSize)), '\0');
        XBE_CALL(xb_GetRecord, image.data());
        return image;
    }
    case 516: return Num(XBE_CALL(xb_Count));
    case 517: return Num(XBE_CALL(xb_TagArea, a.Rest().c_str()));
    case 518: return Text(XBE_CALL(xb_TagName, static_cast<XBSHORT>(a.Hex(4))));
    case 519: return Num(XBE_CALL(xb_QueryRecCount));
    case 520: return Num(XBE_CALL(xb_OrderRecNo));
    case 521: XBE_CALL(xb_Pack); return String();
    case 522: XBE_CALL(xb_Zap); return String();
    case 523:
        XBE_CALL(xb_Close);
        Session.Area = 0;
        return String();
    case 524: return FloatToStr(XBE_CALL(xb_OrderPosGet));
    case 525: return Text(XBE_CALL(xb_IndexName, static_cast<XBSHORT>(a.Dec(10))));
    case 526: return Num(XBE_CALL(xb_IndexOrd));
    case 529: {
        const bool direction = a.YN();
        const bool cont = a.YN();
        const XBLONG rec = XBE_CALL(xb_Locate, a.Rest().c_str(), direction, cont);
        return rec == 0 ? String("0") : PadLeft(Num(rec), 10, ' ');
    }
    case 530: return Text(XBE_CALL(xb_Alias, static_cast<XBSHORT>(a.Dec(10))));
    case 531: return Text(XBE_CALL(xb_BaseDate));
    case 532: return Text(XBE_CALL(xb_BaseName));
    case 533: XBE_CALL(xb_CloseIndexes); return none();
    case 539: return Text(XBE_CALL(xb_DBFilter));
    case 540: return YN(XBE_CALL(xb_Empty, a.Rest().c_str()));
    case 542: XBE_CALL(xb_Reindex); return none();
    case 543: return YN(XBE_CALL(xb_EvalLogical, a.Rest().c_str()));
    case 544: return FloatToStr(XBE_CALL(xb_EvalNumeric, a.Rest().c_str()));
    case 545: return Text(XBE_CALL(xb_EvalString, a.Rest().c_str()));
    case 546: return Num(XBE_CALL(xb_EvalTest, a.Rest().c_str()));
    case 547: return YN(XBE_CALL(xb_Flock));
    case 548: return YN(XBE_CALL(xb_Found));
    case 550: return Text(XBE_CALL(xb_GetScope, static_cast<XBSHORT>(a.Dec(10))));
    case 551: XBE_CALL(xb_IndexClose); return String();
    case 552: return Text(XBE_CALL(xb_IndexCondition));
    case 553: return Num(XBE_CALL(xb_IndexType));
    case 554: return Text(XBE_CALL(xb_IndexKey));
    case 555: return Text(XBE_CALL(xb_IndexKeyField));
    case 558: XBE_CALL(xb_OrderPosSet, StrToFloat(a.Rest())); return String();
    case 559: {
        const XBBOOL made = XBE_CALL(xb_CreateExec);
        return YN(made);
    }
    case 560: {
        const String name = a.Fixed(10);
        const String type = a.Fixed(10);
        const int width = a.Dec(10);
        XBE_CALL(xb_CreateField, name.c_str(), type.c_str(), static_cast<XBSHORT>(width),
                 static_cast<XBSHORT>(a.Dec(10)));
        return String();
    }
    case 564: {
        const String path = a.Fixed(255);
        const String tag = a.Fixed(255);
        const String key = a.Fixed(255);
        const int option = a.Dec(10);
        const bool descending = a.YN();
        const String forExpr = a.Fixed(255);
        return Num(XBE_CALL(xb_IndexTag, path.empty() ? nullptr : path.c_str(), tag.c_str(), key.c_str(),
                            static_cast<XBSHORT>(option), descending,
                            forExpr.empty() ? nullptr : forExpr.c_str()));
    }
    case 565: XBE_CALL(xb_CloseAll); return String();
    case 566: XBE_CALL(xb_SetPassword, a.Rest().c_str()); return none();
    case 567: {
        const String low = a.Fixed(255);
        const String high = a.Fixed(255);
        return YN(XBE_CALL(xb_SetScope, low.empty() ? nullptr : low.c_str(),
                           high.empty() ? nullptr : high.c_str()));
    }
    case 569: XBE_CALL(xb_Recall); return String();
    case 570: return Num(XBE_CALL(xb_QueryTest, a.Rest().c_str()));
    case 571: return Num(XBE_CALL(xb_WorkArea, a.Rest().c_str()));
    case 576: XBE_CALL(xb_SetTurboRead, a.YN()); return none();
    case 578: return YN(XBE_CALL(xb_IsEncrypted, static_cast<XBSHORT>(a.Dec(10))));
    case 579: return Text(XBE_CALL(xb_KeyData));
    case 580: return YN(XBE_CALL(xb_Locked, a.Dec(10)));
    case 588: {
        std::vector<XBLONG> records(static_cast<size_t>(std::max<int>(XBE_CALL(xb_LockCount), 0)));
        XBE_CALL(xb_DBRlockList, records.data());
        return String(reinterpret_cast<const char*>(records.data()), records.size() * sizeof(XBLONG));
    }
    case 589: return Num(XBE_CALL(xb_LockCount));
    case 592: XBE_CALL(xb_SetFilter, a.Rest().c_str()); return none();
    case 610: return Num(XBE_CALL(xb_FieldCount));
    case 611: return Num(XBE_CALL(xb_FieldDecimals, a.Rest().c_str()));
    case 612: return Text(XBE_CALL(xb_FieldName, static_cast<XBSHORT>(a.Dec(10))));
    case 613: return Num(XBE_CALL(xb_FieldNum, a.Rest().c_str()));
    case 614: return Num(XBE_CALL(xb_FieldOffset, a.Rest().c_str()));
    case 615: return Text(XBE_CALL(xb_FieldType, a.Rest().c_str()));
    case 616: return Num(XBE_CALL(xb_FieldWidth, a.Rest().c_str()));
    case 618: return Text(XBE_CALL(xb_Version));
    case 620: {
        a.Fixed(255);
        const String file = a.Fixed(255);
        return Num(XBE_CALL(xb_IndexOpen, (file.find('/') == 0 ? file : FDataDir + file).c_str()));
    }
    case 625: return Num(XBE_CALL(xb_OpenMode));
    case 561: {
        const String file = InData(a.Fixed(255));
        const String alias = a.Fixed(255);
        const String structure = InData(a.Fixed(255));
        return YN(XBE_CALL(xb_CreateFrom, file.c_str(), alias.c_str(), structure.c_str(),
                           static_cast<XBSHORT>(a.Dec(10))));
    }
    case 535: return YN(XBE_CALL(xb_CopyFile, InData(a.Fixed(255)).c_str()));
    case 536: {
        const String file = InData(a.Fixed(255));
        return YN(XBE_CALL(xb_CopyFileText, file.c_str(), static_cast<XBSHORT>(a.Hex(4))));
    }
    case 622: {
        const String file = InData(a.Fixed(255));
        return YN(XBE_CALL(xb_CopyStructure, file.c_str(), a.Fixed(255).c_str()));
    }
    case 623: return YN(XBE_CALL(xb_CopyStructureExtended, InData(a.Fixed(255)).c_str()));
    case 475: {
        const String field = a.Fixed(10);
        return YN(XBE_CALL(xb_BlobToFile, field.c_str(), InData(a.Fixed(255)).c_str()));
    }
    case 474: {
        const String file = InData(a.Fixed(255));
        const int type = a.Dec(10);
        const String forExpr = a.Fixed(255);
        return YN(XBE_CALL(xb_AppendFrom, file.c_str(), static_cast<XBSHORT>(type),
                           forExpr.empty() ? nullptr : forExpr.c_str()));
    }
    default: return String();
    }
}
