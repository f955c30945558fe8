// The socket transport against a raw peer on the loopback address.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <functional>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "remote/apwin.h"

namespace {
// A peer that accepts one connection and runs Script on it.
class RawPeer {
public:
    explicit RawPeer(std::function<void(int)> Script)
    {
        FListener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        bind(FListener, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(FListener, 1);
        getsockname(FListener, reinterpret_cast<sockaddr*>(&a), &size);
        Port = ntohs(a.sin_port);
        FThread = std::thread([this, Script] {
            timeval wait {5, 0};
            setsockopt(FListener, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
            const int client = accept(FListener, nullptr, nullptr);
            if (client == -1)
                return;
            Script(client);
            close(client);
        });
    }
    ~RawPeer()
    {
        Join();
        close(FListener);
    }
    void Join()
    {
        if (FThread.joinable())
            FThread.join();
    }
    int Port = 0;

private:
    int FListener;
    std::thread FThread;
};

void Put(int Socket, const String& Text) { send(Socket, Text.data(), Text.size(), MSG_NOSIGNAL); }

void Pause() { std::this_thread::sleep_for(std::chrono::milliseconds(30)); }

String Received(int Socket, size_t Count)
{
    String bytes(Count, '\0');
    size_t got = 0;
    while (got < Count) {
        const ssize_t n = recv(Socket, bytes.data() + got, Count - got, 0);
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    return bytes.substr(0, got);
}

TDrVOZClient* Connected(TDrVOZClient& Client, int Port)
{
    Client.SetHost("localhost");
    Client.SetPort(Port);
    Client.Connect();
    return &Client;
}
}  // namespace

TEST(SocketTest, LinesSplitAcrossReceivesAndTheBytesAfterThemStayBuffered)
{
    RawPeer peer([](int s) {
        Put(s, "first\r");
        Pause();
        Put(s, "\nsecond\r\nrest");
        Pause();
    });
    TDrVOZClient client(nullptr);
    std::vector<String> status;
    client.OnStatus = [&](TComponent*, const String& Text) { status.push_back(Text); };
    Connected(client, peer.Port);
    EXPECT_EQ(client.HostIP(), "127.0.0.1");
    EXPECT_EQ(client.ReadLn(), "first");
    EXPECT_EQ(client.ReadLn(), "second");
    EXPECT_EQ(client.Read(4), "rest");
    client.Disconnect();
    EXPECT_EQ(status, (std::vector<String> {"Connecting to localhost", "Socket Connected", "Disconnecting",
                                            "Disconnected"}));
}

TEST(SocketTest, ResponsesOfOneOrManyLines)
{
    RawPeer peer([](int s) {
        Put(s, "250-first\r\n250-second\r\n250 last\r\n+OK ready\r\n\r\n-ERR no\r\n220 single\r\n");
        Received(s, 6);
    });
    TDrVOZClient client(nullptr);
    Connected(client, peer.Port);
    EXPECT_EQ(client.GetResponse(), 250);
    EXPECT_EQ(client.ResponseLines().Count(), 3);
    EXPECT_EQ(client.LastResponseText(), "250 last");
    EXPECT_EQ(client.GetResponse(), 1);
    EXPECT_EQ(client.GetResponse(), 0);
    EXPECT_EQ(client.Command("NOOP", 220, 1, "*"), 220);
    EXPECT_EQ(client.ResponseLines().Count(), 0);
}

TEST(SocketTest, CaptureStopsAtTheTerminatorAndUndoublesDots)
{
    RawPeer peer([](int s) { Put(s, "a\r\n..b\r\n.\r\nName: x\r\n\tmore\r\nOther: y\r\n\r\n"); });
    TDrVOZClient client(nullptr);
    Connected(client, peer.Port);
    TStringList lines;
    EXPECT_EQ(client.Capture(&lines, {"."}), 1);
    EXPECT_EQ(lines.Count(), 2);
    EXPECT_EQ(lines[1], ".b");
    TStringList headers;
    headers.Add("left from before");
    EXPECT_EQ(client.CaptureHeader(headers, ""), 1);
    EXPECT_EQ(headers.Count(), 2);
    EXPECT_EQ(headers[0], "Name=x more");
    EXPECT_EQ(headers[1], "Other=y");
}

TEST(SocketTest, TypedLinesAreEchoedAndHeadersWritten)
{
    String echoed;
    RawPeer peer([&](int s) {
        Put(s, "ab\tc\r\n");
        echoed = Received(s, 8);
        Put(s, "xy\r");
        echoed += Received(s, 4);
        echoed += Received(s, 19);
    });
    TDrVOZClient client(nullptr);
    Connected(client, peer.Port);
    EXPECT_EQ(client.ReadLnAndEcho(""), "ac");
    EXPECT_EQ(client.ReadLnAndEcho("*"), "xy");
    TStringList headers;
    headers.Add("Host=a=b");
    headers.Add("X=1");
    client.WriteHeaders(headers);
    client.Disconnect();
    peer.Join();
    EXPECT_EQ(echoed, "ab\t \tc\r\n"
                      "**\r\n"
                      "Host: a=b\r\nX: 1\r\n\r\n");
}

TEST(SocketTest, AnExceptionInTheStatusHandlerSaysWhereItCameFrom)
{
    TDrVOZClient client(nullptr);
    client.OnStatus = [](TComponent*, const String&) { throw EDrVOZResponseError("Stop"); };
    try {
        client.DoStatus("x");
        FAIL();
    } catch (const EDrVOZResponseError& e) {
        EXPECT_EQ(e.Message(), "Stop occurred in user's OnStatus Event.");
    }
}

TEST(SocketTest, APeerThatClosesDisconnectsGracefully)
{
    RawPeer peer([](int s) { Put(s, "ab"); });
    TDrVOZClient client(nullptr);
    Connected(client, peer.Port);
    EXPECT_EQ(client.Read(0), "");  // one receive, nothing taken
    EXPECT_EQ(client.ReadBufferSize() >= 0, true);
    try {
        client.Read(5);
        FAIL();
    } catch (const EDrVOZConnClosedGraceful& e) {
        EXPECT_EQ(e.Message(), "Connection Closed Gracefully.");
    }
    EXPECT_FALSE(client.Connected());
    try {
        client.Write("x");
        FAIL();
    } catch (const EDrVOZClosedSocket& e) {
        EXPECT_EQ(e.Message(), "Socket is closed, cannot write");
    }
}

TEST(SocketTest, WritesToAGonePeerRaiseInsteadOfKillingTheProcess)
{
    RawPeer peer([](int s) { (void)s; });
    TDrVOZClient client(nullptr);
    Connected(client, peer.Port);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const String block(1 << 16, 'x');
    EXPECT_THROW(
            {
                for (int i = 0; i < 100; ++i)
                    client.Write(block);
            },
            EDrVOZException);
}

TEST(SocketTest, ConnectFailuresAndTimeOuts)
{
    TDrVOZClient client(nullptr);
    int port = 0;
    {
        RawPeer peer([](int) {});
        port = peer.Port;
        Connected(client, port);
        EXPECT_THROW(client.Connect(), EDrVOZAlreadyConnected);
        client.Disconnect();
    }
    try {
        Connected(client, port);
        FAIL();
    } catch (const EDrVOZSocketError& e) {
        EXPECT_EQ(e.ErrorCode, 10061);
        EXPECT_EQ(e.Message(), "Connection refused.\r\nSocket Error #10061");
    }
    EXPECT_EQ(SockErrMsg(12345), "\r\nSocket Error #12345");

    // A connection is watched by TCP keepalive as set; a silence limit is the caller's choice.
    RawPeer silent([](int s) { Received(s, 1); });
    client.KeepAliveIdle = 7;
    Connected(client, silent.Port);
    int on = 0, idle = 0;
    socklen_t size = sizeof on;
    getsockopt(client.Handle(), SOL_SOCKET, SO_KEEPALIVE, &on, &size);
    getsockopt(client.Handle(), IPPROTO_TCP, TCP_KEEPIDLE, &idle, &size);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(idle, 7);
    EXPECT_EQ(TDrVOZClient(nullptr).ReceiveTimeout, 0);
    client.ReceiveTimeout = 100;
    EXPECT_THROW(client.ReadLn(), EDrVOZTimedOut);
    EXPECT_FALSE(client.Connected());
}

TEST(SocketTest, IPv6HostsConnect)
{
    const int listener = socket(AF_INET6, SOCK_STREAM, 0);
    sockaddr_in6 a {};
    a.sin6_family = AF_INET6;
    a.sin6_addr = in6addr_loopback;
    socklen_t size = sizeof a;
    if (listener == -1 || bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        if (listener != -1)
            close(listener);
        GTEST_SKIP() << "no IPv6 loopback here";
    }
    listen(listener, 1);
    getsockname(listener, reinterpret_cast<sockaddr*>(&a), &size);
    TDrVOZClient client(nullptr);
    client.SetHost("::1");
    client.SetPort(ntohs(a.sin6_port));
    client.Connect();
    EXPECT_EQ(client.HostIP(), "::1");
    client.Disconnect();
    close(listener);
}

TEST(SocketTest, BindAndListenTakeConnectionsAndATakenPortIsRefused)
{
    const auto bound = [](TDrVOZ& Socket, const String& Address, int Port) {
        Socket.AllocateSocket(AF_INET, SOCK_STREAM);
        Socket.SetBindAddress(Address);
        Socket.SetPort(Port);
        Socket.Bind();
    };
    TDrVOZ listener(nullptr);
    bound(listener, "127.0.0.1", 0);  // any free port
    listener.Listen();
    sockaddr_in a {};
    socklen_t size = sizeof a;
    getsockname(listener.Handle(), reinterpret_cast<sockaddr*>(&a), &size);
    const int port = ntohs(a.sin_port);
    ASSERT_GT(port, 0);
    EXPECT_EQ(a.sin_addr.s_addr, htonl(INADDR_LOOPBACK));

    TDrVOZClient client(nullptr);
    Connected(client, port);
    const int peer = accept(listener.Handle(), nullptr, nullptr);
    ASSERT_GE(peer, 0);
    client.Write("PING");
    EXPECT_EQ(Received(peer, 4), "PING");

    TDrVOZ second(nullptr);
    try {
        bound(second, "127.0.0.1", port);
        ADD_FAILURE() << "bound twice";
    } catch (const EDrVOZSocketError& e) {
        ADD_FAILURE() << e.Message();
    } catch (const EDrVOZException& e) {
        EXPECT_EQ(e.Message(), "Could not bind socket. Address and port are already in use.");
    }
    TDrVOZ unknown(nullptr);
    try {
        bound(unknown, "not-an-address", 0);
        ADD_FAILURE() << "bound";
    } catch (const EDrVOZSocketError& e) {
        EXPECT_EQ(e.ErrorCode, WSAEADDRNOTAVAIL);
    }

    // The listener's side closes first and leaves its port waiting out the
    // old connection; a new listener takes the port at once all the same.
    close(peer);
    client.Disconnect();
    listener.Disconnect();
    TDrVOZ again(nullptr);
    EXPECT_NO_THROW(bound(again, "127.0.0.1", port));
    again.Listen();
    TDrVOZClient next(nullptr);
    EXPECT_NO_THROW(Connected(next, port));
}

TEST(SocketTest, UserIsUpperCasedAndOffsetsReadAndWriteAsText)
{
    TDrVOZClient client(nullptr);
    client.SetUser("anna");
    EXPECT_EQ(client.User(), "ANNA");
    EXPECT_EQ(DateTimeToGmtOffSetStr(0, true), "GMT");
    EXPECT_EQ(DateTimeToGmtOffSetStr(-90.0 / (24 * 60), false), "-0130");
    EXPECT_NEAR(GmtOffsetStrToDateTime("+0530") * 24, 5.5, 1e-9);
    EXPECT_NEAR(GmtOffsetStrToDateTime("-0100") * 24, -1, 1e-9);
    EXPECT_EQ(GmtOffsetStrToDateTime("GMT"), 0);
}
