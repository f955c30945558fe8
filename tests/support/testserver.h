#pragma once
// A database server for the tests: it listens on 127.0.0.1 on a free port,
// answers the server protocol from the project's own engine over one data
// directory, records every request frame, and can be told to answer a code
// otherwise (progress, messages, a shutdown, silence, a broken connection).
// Every wait is bounded and the server stops by itself after its lifetime.

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/sql/localsql.h"
#include "remote/apwin.h"

class TTestServer {
public:
    struct TFrame {
        String Code;
        String ConnectionID;
        String Payload;
        int Session = 0;
    };

    // One client's connection, as a handler sees it. The engine's replies to
    // requests that came in one piece are sent together; what a handler sends
    // goes at once, after them.
    class TSession {
    public:
        // A reply packet of Kind (the request's code for a reply) with Payload.
        void Send(const String& Kind, const String& Payload);
        // Raw bytes, header and all.
        void SendRaw(const String& Bytes);
        // Ends the connection at once (the replies held are sent first).
        void Close();
        int Id() const { return FId; }
        // The engine work area this client last selected.
        int Area = 0;
        String User;
        // The result of the last blob write, which request 0624 asks for.
        int LastPutBlob = 0;

    private:
        friend class TTestServer;
        // A packet held until the requests at hand are answered, and their sending.
        void Queue(const String& Kind, const String& Payload);
        void Flush();
        int FSocket = -1;
        int FId = 0;
        // The packets held; the lock also keeps a packet pushed from another
        // thread whole and after them.
        std::mutex FSending;
        String FHeld;
    };

    // A handler answers one request; it returns false to let the engine answer.
    using THandler = std::function<bool(TSession& Session, const TFrame& Frame)>;

    // Serves DataDir (ending in "/"); accepts the users given (name to
    // password), or everybody when none is given.
    explicit TTestServer(const String& DataDir, std::map<String, String> Users = {},
                         int LifetimeSeconds = 300);
    ~TTestServer();
    TTestServer(const TTestServer&) = delete;
    TTestServer& operator=(const TTestServer&) = delete;

    int Port() const { return FPort; }
    // Answers Code with Handler from now on (before the engine).
    void On(const String& Code, THandler Handler);
    // Sends a packet to every client it has taken (one that has had an answer),
    // now, as a server does on its own while its clients are idle.
    void Push(const String& Kind, const String& Payload);
    std::vector<TFrame> Frames() const;
    // The frames with Code.
    std::vector<TFrame> Frames(const String& Code) const;
    void ClearFrames();
    // Stored procedures the server knows: name to their parameter block, which
    // ExecProc answers with the values last sent (0045), each doubled where it
    // is a number and upper-cased where it is text.
    void AddProcedure(const String& Name, const String& ParameterBlock);

private:
    void Listen();
    void Serve(TSession* Session);
    void Answer(TSession& Session, const TFrame& Frame);
    String Engine(TSession& Session, const TFrame& Frame, bool& Reply);
    // The SQL requests (0800-0809), on the local SQL engine.
    String Sql(const TFrame& Frame);
    String DirectoryOf(const String& DatabaseName) const;
    // A path the client names: absolute, or within the served directory.
    String InData(const String& Path) const;

    String FDataDir;
    std::map<String, String> FUsers;
    TDrVOZ FListener {nullptr};
    int FPort = 0;
    std::atomic<bool> FStopping {false};
    int FLifetimeSeconds;
    std::thread FListenThread;
    std::vector<std::thread> FSessionThreads;
    std::vector<std::unique_ptr<TSession>> FSessions;
    mutable std::mutex FMutex;  // frames, handlers, sessions
    std::mutex FEngineMutex;    // one request at a time reaches the engine
    std::vector<TFrame> FFrames;
    std::map<String, THandler> FHandlers;
    std::map<String, String> FProcedures;
    std::map<String, String> FProcedureValues;
    std::map<int, std::unique_ptr<localsql::TStatement>> FStatements;
    int FStatementCount = 0;
};
