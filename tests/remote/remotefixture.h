#pragma once
// A test server over a temporary directory and a connection to it whose
// error reports are collected instead of shown.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

#include "remote/drconn.h"
#include "remote/wire.h"
#include "tests/support/tempdir.h"
#include "tests/support/testserver.h"

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Scratch.emplace("remote-test");
        Dir = Scratch->Path();
        Server = std::make_unique<TTestServer>(Dir, Users());
        Connection = MakeConnection();
    }
    void TearDown() override
    {
        Connection.reset();
        Server.reset();
        Scratch.reset();
    }
    virtual std::map<String, String> Users() { return {}; }

    std::unique_ptr<TDaroruServerConnection> MakeConnection()
    {
        auto connection = std::make_unique<TDaroruServerConnection>(nullptr);
        connection->SetPort(Server->Port());
        connection->ShutdownWait = 10;
        connection->Transport().ReceiveTimeout = 5000;
        connection->OnError = [this](TObject*, const String& Command, const String& Msg) {
            Errors.push_back("[" + Command + "] " + Msg);
        };
        return connection;
    }

    // Connects without a login.
    void Connect()
    {
        Connection->SetActive(true);
        ASSERT_TRUE(Connection->Active()) << (Errors.empty() ? String() : Errors.back());
    }

    // Waits until the server has read what was sent (a round trip).
    void Sync() { ASSERT_EQ(Connection->ServerName(), "Test server"); }

    // Waits (a bounded while) until the server has read a frame with Code.
    void WaitFor(const String& Code)
    {
        for (int i = 0; i < 200 && Server->Frames(Code).empty(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    // The last request frame with Code, as the server read it.
    TTestServer::TFrame Last(const String& Code)
    {
        const auto frames = Server->Frames(Code);
        return frames.empty() ? TTestServer::TFrame {} : frames.back();
    }

    // Answers Code with a fixed payload.
    void Reply(const String& Code, const String& Payload)
    {
        Server->On(Code, [Code, Payload](TTestServer::TSession& S, const TTestServer::TFrame&) {
            S.Send(Code, Payload);
            return true;
        });
    }

    std::optional<TempDir> Scratch;
    String Dir;
    std::unique_ptr<TTestServer> Server;
    std::unique_ptr<TDaroruServerConnection> Connection;
    std::vector<String> Errors;
};
