// Framing, reply packets, login and the connection's failures.

#include <chrono>

#include "tests/remote/manualtimers.h"
#include "tests/remote/remotefixture.h"

namespace {
String Hex8(Int64 Value) { return Wire::Hex(Value, 8); }
}  // namespace

TEST_F(ServerTest, RequestFramesCarryLengthZerosConnectionIdAndCode)
{
    Connect();
    Server->ClearFrames();
    Connection->ClientXmit("0495", "", false);
    Connection->ClientXmit("0491", "ABC", true);
    EXPECT_EQ(Connection->GetConnectionID(), "0001");
    EXPECT_EQ(Connection->ConnectionID(), "0001");
    Connection->ClientXmit("0491", "NAME", true);
    ASSERT_TRUE(Connection->Ping());
    Connection->ClientXmit("0053", "", true);  // the ping must not have made a reply come back

    const auto frames = Server->Frames();
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(frames[0].Code, "0495");
    EXPECT_EQ(frames[0].ConnectionID, "0000");
    EXPECT_EQ(frames[0].Payload, "");
    EXPECT_EQ(frames[1].Payload, "ABC");
    EXPECT_EQ(frames[3].ConnectionID, "0001");
    EXPECT_EQ(frames[3].Payload, "NAME");
    EXPECT_EQ(frames[4].Code, "0000");
    EXPECT_EQ(frames[4].ConnectionID, "0000");
    EXPECT_EQ(Connection->ServerName(), "Test server");
    EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_F(ServerTest, MessagesAndProgressComeBeforeTheReplyTheCallerGets)
{
    Connect();
    std::vector<String> messages;
    std::vector<String> progress;
    Connection->OnServerMessage = [&](TObject*, const String& Msg) { messages.push_back(Msg); };
    Connection->Transport().OnServerProgress = [&](TComponent*, int Min, int Max, int Position) {
        progress.push_back(std::to_string(Min) + "/" + std::to_string(Max) + "/" + std::to_string(Position));
    };
    Server->On("0618", [](TTestServer::TSession& S, const TTestServer::TFrame&) {
        S.Send("0301", "Backing up");
        S.Send("0300", "");  // no payload: only its header is consumed
        S.Send("0300", Hex8(0) + Hex8(200) + Hex8(50));
        S.Send("0300", Hex8(0) + Hex8(200) + Hex8(200) + "extra");  // longer than 24: read whole
        S.Send("0618", "5.1");
        return true;
    });
    EXPECT_STREQ(Connection->ap_Version(), "5.1");
    EXPECT_EQ(messages, std::vector<String> {"Backing up"});
    EXPECT_EQ(progress, (std::vector<String> {"0/200/50", "0/200/200"}));
    EXPECT_TRUE(Connection->Active());

    // A message while no request runs is delivered by the poll, which never
    // takes a reply away from a request.
    Server->On("0053", [](TTestServer::TSession& S, const TTestServer::TFrame&) {
        S.Send("0053", "Test server");
        S.Send("0301", "Nightly run at 2");
        return true;
    });
    EXPECT_EQ(Connection->ServerName(), "Test server");
    for (int i = 0; i < 100 && messages.size() < 2; ++i)
        Connection->ServiceIncoming();
    EXPECT_EQ(messages.back(), "Nightly run at 2");
    Connection->ServiceIncoming();  // nothing waiting: nothing read, nothing lost
    EXPECT_TRUE(Connection->Active());
    EXPECT_TRUE(Connection->GetTriggers());
}

// A connection whose poll timer the test ticks.
class PollTest : public ServerTest {
protected:
    TManualTimers Timers;
};

TEST_F(PollTest, AServerMessageWhileIdleArrivesThroughThePollTimer)
{
    ASSERT_EQ(Timers.Timers().size(), 1u);
    TManualTimers::TTimer& timer = *Timers.Timers().front();
    EXPECT_EQ(timer.Interval(), 1000u);
    EXPECT_FALSE(timer.Enabled());
    Connect();
    EXPECT_TRUE(timer.Enabled());
    std::vector<String> messages;
    Connection->OnServerMessage = [&](TObject*, const String& Msg) { messages.push_back(Msg); };

    // Nothing waiting: a tick reads nothing, and the reply of the next request is its own.
    Timers.Tick();
    std::atomic<bool> enabledWhileAnswered {true};
    Server->On("0053", [&](TTestServer::TSession& S, const TTestServer::TFrame&) {
        enabledWhileAnswered = timer.Enabled();
        S.Send("0053", "Test server");
        return true;
    });
    Sync();
    EXPECT_FALSE(enabledWhileAnswered) << "a request runs with the poll off";
    EXPECT_TRUE(timer.Enabled());

    Server->Push("0301", "Backup starts at 22:00");
    for (int i = 0; i < 200 && messages.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Timers.Tick();
    }
    EXPECT_EQ(messages, std::vector<String> {"Backup starts at 22:00"});
    Sync();
    EXPECT_TRUE(Errors.empty()) << Errors.front();

    Connection->SetActive(false);
    EXPECT_FALSE(timer.Enabled());
}

TEST_F(ServerTest, AShutdownNoticeDisconnectsWithoutALogoutAndStopsThePoll)
{
    Connect();
    String message;
    Connection->OnServerMessage = [&](TObject*, const String& Msg) { message = Msg; };
    Server->On("0470", [](TTestServer::TSession& S, const TTestServer::TFrame&) {
        S.Send("0302", "");
        return true;
    });
    EXPECT_EQ(Connection->ap_RecCount(), 0);
    EXPECT_EQ(message, "Server shutdown");
    EXPECT_FALSE(Connection->Active());
    EXPECT_FALSE(Connection->GetTriggers());
    EXPECT_TRUE(Server->Frames("0465").empty());
}

TEST_F(ServerTest, BrokenRepliesLoseTheConnectionWithoutReadingThem)
{
    struct Case {
        const char* What;
        String Bytes;
    };
    const std::vector<Case> cases = {
            {"a 4 GB length claim", "FFFFFFFF00000000"
                                    "0470"
                                    "12"},
            {"a length over the maximum", Hex8(65 << 20) + "000000000470"},
            {"a header that is not hex", "00000G0100000000"
                                         "0470"
                                         "1"},
            {"a cut-off reply", Hex8(100) + "00000000"
                                            "0470"
                                            "only part of it"},
            {"a reply to another request", Hex8(1) + "00000000"
                                                     "0471"
                                                     "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Errors.clear();
        Connection = MakeConnection();
        Connect();
        const String bytes = c.Bytes;
        Server->On("0470", [bytes](TTestServer::TSession& S, const TTestServer::TFrame&) {
            S.SendRaw(bytes);
            S.Close();
            return true;
        });
        EXPECT_EQ(Connection->ap_RecCount(), 0);
        EXPECT_FALSE(Connection->Active());
        EXPECT_EQ(Errors, std::vector<String> {"[DaroruConnection.FillReadStream] Connection lost"});
        // Reported once: later requests fail quietly, and the reason stays.
        EXPECT_EQ(Connection->ap_RecCount(), 0);
        EXPECT_EQ(Errors.size(), 1u);
        EXPECT_EQ(Connection->LastError(), "Connection lost");
    }
}

TEST_F(ServerTest, ASilentServerTimesOutInsteadOfHoldingTheCaller)
{
    Connect();
    Connection->Transport().ReceiveTimeout = 200;
    Server->On("0470", [](TTestServer::TSession&, const TTestServer::TFrame&) { return true; });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Connection->ap_RecCount(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_FALSE(Connection->Active());
    EXPECT_EQ(Errors, std::vector<String> {"[DaroruConnection.FillReadStream] Connection lost"});
}

TEST_F(ServerTest, WithoutAHandlerALostConnectionGoesToTheErrorBox)
{
    std::vector<String> shown;
    SetConnectionErrorBox([&](const String& Text) { shown.push_back(Text); });
    Connection->OnError = nullptr;
    Connect();
    Server->On("0479", [](TTestServer::TSession& S, const TTestServer::TFrame&) {
        S.Close();
        return true;
    });
    Connection->ap_Eof();
    Connection->ClientXmit("0479", "", true);
    EXPECT_EQ(shown, (std::vector<String> {"[DaroruConnection.FillReadStream] Connection lost"}));

    // With no box installed the report goes to the standard error.
    SetConnectionErrorBox(nullptr);
    testing::internal::CaptureStderr();
    TDaroruServerConnection never(nullptr);
    never.ClientXmit("0479", "", true);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[DaroruConection.ClientXmit] Not connected\n");
    EXPECT_EQ(shown.size(), 1u);
}

TEST_F(ServerTest, VersionStaysAndUnreachableServersAreReportedNotRaised)
{
    Connection->SetVersion("9.9");
    EXPECT_EQ(Connection->Version(), "DaroruConnection 5.1.3.0");
    EXPECT_EQ(Connection->Port(), Server->Port());
    TDaroruServerConnection nowhere(nullptr);
    EXPECT_EQ(nowhere.Port(), 5000);
    EXPECT_EQ(nowhere.Host(), "127.0.0.1");
    Server.reset();  // nothing listens on the port any more
    EXPECT_NO_THROW(Connection->SetActive(true));
    EXPECT_FALSE(Connection->Active());
    EXPECT_EQ(Errors, std::vector<String> {
                              "[DaroruConnection.SetActive] No Daroru Database Server found at 127.0.0.1"});
}

class LoginTest : public ServerTest {
protected:
    std::map<String, String> Users() override { return {{"ANNA", "secret"}, {"MARGARETHA.K", "secret"}}; }
};

TEST_F(LoginTest, LoginSendsPasswordAndUserAndARefusalDisconnects)
{
    std::vector<bool> logins;
    Connection->OnLogin = [&](TObject*, bool Accepted) { logins.push_back(Accepted); };
    Connection->SetUser("anna");
    EXPECT_EQ(Connection->User(), "ANNA");
    Connection->SetPassword("wrong");
    Connection->SetActive(true);
    EXPECT_FALSE(Connection->Active());
    EXPECT_EQ(Errors,
              std::vector<String> {"[DaroruConnection.SetActive] Login not accepted. Maximum user count may "
                                   "have been exceeded"});
    const auto login = Last("0464");
    EXPECT_EQ(login.Payload, PadRight("wrong", 255, ' ') + PadRight("ANNA", 255, ' '));

    Connection->SetPassword("secret");
    Connect();
    EXPECT_EQ(logins, (std::vector<bool> {false, true}));
    Connection->SetActive(false);
    WaitFor("0465");
    EXPECT_EQ(Last("0465").Payload, "ANNA      ");

    // A name longer than its field is logged out whole, not left logged in.
    Connection->SetUser("Margaretha.K");
    Connect();
    Connection->SetActive(false);
    for (int i = 0; i < 200 && Last("0465").Payload != "MARGARETHA.K"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(Last("0465").Payload, "MARGARETHA.K");
}

TEST_F(ServerTest, AnEmptyUserOnlyConnects)
{
    Connect();
    Connection->SetActive(false);
    EXPECT_TRUE(Server->Frames("0464").empty());
    EXPECT_TRUE(Server->Frames("0465").empty());
}

TEST_F(ServerTest, AConnectionIdThatWouldNotFitItsFieldIsRefused)
{
    Connect();
    Reply("0459", "12345");
    EXPECT_EQ(Connection->GetConnectionID(), "12345");
    EXPECT_EQ(Connection->ConnectionID(), "0000");
    EXPECT_EQ(Errors, std::vector<String> {"[DaroruConnection.GetConnectionID] GetConnectionID"});
    Reply("0459", "7");
    Connection->GetConnectionID();
    EXPECT_EQ(Connection->ConnectionID(), "0007");
}

TEST_F(ServerTest, ADoubledReplyIsRefusedInsteadOfAnsweringTheNextRequest)
{
    Connect();
    Server->On("0470", [](TTestServer::TSession& S, const TTestServer::TFrame&) {
        S.Send("0470", "12");
        S.Send("0470", "12");
        return true;
    });
    EXPECT_EQ(Connection->ap_RecCount(), 12);
    Reply("0500", "5");
    EXPECT_EQ(Connection->ap_RecNo(), 0);  // not the stale 12
    EXPECT_FALSE(Connection->Active());
    EXPECT_EQ(Errors, std::vector<String> {"[DaroruConnection.FillReadStream] Connection lost"});
}

TEST_F(ServerTest, TextResultsOutliveLaterReplies)
{
    Connect();
    Reply("0491", String(200, 'x'));
    Reply("0612", "NAME");
    const char* text = Connection->ap_GetString("NAME");
    Connection->ap_FieldName(1);
    Connection->ap_RecCount();
    EXPECT_EQ(String(text), String(200, 'x'));
}

// A server operation that runs long, with or without progress packets, ends
// with its reply: no time limit of the client's own cuts it off. The silence
// limit, when one is set, counts from the last byte, so progress keeps it away.
TEST_F(ServerTest, ALongServerOperationCompletes)
{
    const auto longPack = [this](std::chrono::milliseconds Length, std::chrono::milliseconds Progress) {
        Server->On("0521", [=](TTestServer::TSession& S, const TTestServer::TFrame&) {
            const auto end = std::chrono::steady_clock::now() + Length;
            while (std::chrono::steady_clock::now() < end) {
                std::this_thread::sleep_for(Progress.count() ? Progress : Length);
                if (Progress.count())
                    S.Send("0300", Hex8(0) + Hex8(100) + Hex8(50));
            }
            S.Send("0521", "");
            return true;
        });
    };
    Connect();
    const std::chrono::milliseconds none {0};
    for (const auto& [limit, progress, kept] : std::vector<std::tuple<int, std::chrono::milliseconds, bool>> {
                 {0, none, true}, {400, std::chrono::milliseconds(100), true}, {400, none, false}}) {
        SCOPED_TRACE("silence limit " + std::to_string(limit));
        if (!Connection->Active())
            Connect();
        Errors.clear();
        Connection->Transport().ReceiveTimeout = limit;
        longPack(std::chrono::milliseconds(1500), progress);
        Connection->ap_Pack();
        EXPECT_EQ(Connection->Active(), kept);
        EXPECT_EQ(Errors.size(), kept ? 0u : 1u);
    }
}

// The same at full length, with the connection's defaults (a slow test).
TEST_F(ServerTest, SlowAMinuteLongServerOperationCompletes)
{
    Connect();
    Connection->Transport().ReceiveTimeout = TDrVOZClient(nullptr).ReceiveTimeout;
    Server->On("0521", [](TTestServer::TSession& S, const TTestServer::TFrame&) {
        std::this_thread::sleep_for(std::chrono::seconds(61));
        S.Send("0521", "");
        return true;
    });
    Connection->ap_Pack();
    EXPECT_TRUE(Connection->Active());
    EXPECT_TRUE(Errors.empty()) << Errors.front();
}
