// The server client as the program sets it up: a server message that arrives
// while nothing is asked is delivered by the real poll timer through the event
// loop, and an error without a handler of its own is shown in a message box.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/vcl/dialogs/scripteddialogs.h"
#include "program/programforms.h"
#include "remote/drconn.h"
#include "tests/support/tempdir.h"
#include "tests/support/testserver.h"

namespace {
class ProgramServerClient : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallForms();
        Connection = std::make_unique<TDaroruServerConnection>(nullptr);
        Connection->SetPort(Server.Port());
        Connection->Transport().ReceiveTimeout = 5000;
        Connection->SetActive(true);
        ASSERT_TRUE(Connection->Active());
    }
    void TearDown() override
    {
        Connection.reset();
        SetPollTimerMaker(nullptr);
        SetConnectionErrorBox(nullptr);
    }

    TempDir Dir;
    TTestServer Server {Dir.Path()};
    TScriptedDialogs Dialogs;
    std::unique_ptr<TDaroruServerConnection> Connection;
};
}  // namespace

TEST_F(ProgramServerClient, AMessageWhileIdleArrivesThroughTheEventLoop)
{
    std::vector<String> messages;
    Connection->OnServerMessage = [&](TObject*, const String& Msg) { messages.push_back(Msg); };
    ASSERT_EQ(Connection->ServerName(), "Test server");  // the server has taken the client
    Server.Push("0301", "Server going down at 18:00");
    // The timer fires once a second: a bounded wait of a few intervals.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (messages.empty() && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(messages, std::vector<String> {"Server going down at 18:00"});
    EXPECT_EQ(Connection->ServerName(), "Test server");
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(ProgramServerClient, WithoutOnErrorALostConnectionIsShownInAMessageBox)
{
    Server.On("0479", [](TTestServer::TSession& S, const TTestServer::TFrame&) {
        S.Close();
        return true;
    });
    Connection->ap_Eof();
    EXPECT_FALSE(Connection->Active());
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "[DaroruConnection.FillReadStream] Connection lost");
}
