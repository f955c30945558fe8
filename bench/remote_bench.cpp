// Seeks, record reads and record writes on a table of N records, through the
// engine directly and through the database server connection over loopback
// to the test server, which answers from the same engine. The counters give
// requests per second; the difference is the price of the protocol.

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/benchsupport.h"
#include "remote/drconn.h"
#include "tables/drodset.h"
#include "tables/xbe50.h"
#include "tests/support/testserver.h"

namespace {

const std::string& Scratch()
{
    static const std::string dir = ScratchDir("remote-bench");
    return dir;
}

std::string Key(int i)
{
    char key[16];
    std::snprintf(key, sizeof key, "K%07d", i);
    return key;
}

// ACCOUNTS<n>.DBF with n records and a tag on ID, made once per size.
std::string Table(int n)
{
    const std::string name = "ACCOUNTS" + std::to_string(n) + ".DBF";
    static std::map<int, bool> made;
    if (!made[n]) {
        LoadDLL();
        const std::string path = Scratch() + name;
        XBE_CALL(xb_Select, XBE_CALL(xb_CreateNew, path.c_str(), "MAKING", 2, 3));
        XBE_CALL(xb_CreateField, "ID", "C", 8, 0);
        XBE_CALL(xb_CreateField, "NAME", "C", 40, 0);
        XBE_CALL(xb_CreateField, "AMOUNT", "N", 10, 2);
        XBE_CALL(xb_CreateExec);
        for (int i = 1; i <= n; ++i) {
            XBE_CALL(xb_AppendBlank);
            const std::string image = " " + Key(i) + std::string(40, 'x') + "    100.25";
            XBE_CALL(xb_PutRecord, image.c_str());
        }
        XBE_CALL(xb_IndexTag, nullptr, "ID", "ID", 0, 0, nullptr);
        XBE_CALL(xb_Close);
        made[n] = true;
    }
    return name;
}

// The two roads to one table: the engine, or a connection to the test server.
struct Road {
    virtual ~Road() = default;
    virtual bool Seek(const std::string& Key) = 0;
    virtual void Go(int RecNo) = 0;
    virtual void Get(char* Buffer) = 0;
    virtual void Put(const char* Buffer) = 0;
    virtual int RecordSize() = 0;
};

struct LocalRoad : Road {
    explicit LocalRoad(const std::string& Name)
    {
        XBE_CALL(xb_Select, XBE_CALL(xb_Use, (Scratch() + Name).c_str(), "LOCAL", 2, 2));
        XBE_CALL(xb_SetOrder, 1);
    }
    ~LocalRoad() override { XBE_CALL(xb_Close); }
    bool Seek(const std::string& Key) override { return XBE_CALL(xb_Seek, Key.c_str()); }
    void Go(int RecNo) override { XBE_CALL(xb_Go, RecNo); }
    void Get(char* Buffer) override { XBE_CALL(xb_GetRecord, Buffer); }
    void Put(const char* Buffer) override { XBE_CALL(xb_PutRecord, Buffer); }
    int RecordSize() override { return XBE_CALL(xb_RecSize); }
};

struct ServerRoad : Road {
    explicit ServerRoad(const std::string& Name) : Server(Scratch()), Connection(nullptr)
    {
        Connection.SetPort(Server.Port());
        Connection.SetActive(true);
        // No database name: the table lies in the directory the server serves.
        Connection.ap_Select(Connection.ap_Use(Name.c_str(), "", 2, 2));
        Connection.ap_SetOrder(1);
    }
    ~ServerRoad() override { Connection.ap_Close(); }
    bool Seek(const std::string& Key) override { return Connection.ap_Seek(Key.c_str()); }
    void Go(int RecNo) override { Connection.ap_Go(RecNo); }
    void Get(char* Buffer) override { Connection.ap_GetRecord(Buffer); }
    void Put(const char* Buffer) override { Connection.ap_PutRecord(Buffer); }
    int RecordSize() override { return Connection.ap_RecSize(); }
    TTestServer Server;
    TDaroruServerConnection Connection;
};

std::unique_ptr<Road> Open(bool Server, int N)
{
    const std::string name = Table(N);
    if (Server)
        return std::make_unique<ServerRoad>(name);
    return std::make_unique<LocalRoad>(name);
}

void ReportRate(benchmark::State& state)
{
    state.counters["requests_per_second"] =
            benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}

template<bool Server> void SeekKey(benchmark::State& state)
{
    const int n = int(state.range(0));
    auto road = Open(Server, n);
    std::mt19937 random(7);
    for (auto _ : state)
        benchmark::DoNotOptimize(road->Seek(Key(1 + int(random() % n))));
    ReportRate(state);
}

template<bool Server> void GetRecord(benchmark::State& state)
{
    const int n = int(state.range(0));
    auto road = Open(Server, n);
    std::string buffer(size_t(road->RecordSize()), ' ');
    std::mt19937 random(7);
    for (auto _ : state) {
        road->Go(1 + int(random() % n));
        road->Get(buffer.data());
        benchmark::DoNotOptimize(buffer.data());
    }
    ReportRate(state);
}

template<bool Server> void PutRecord(benchmark::State& state)
{
    const int n = int(state.range(0));
    auto road = Open(Server, n);
    std::string buffer(size_t(road->RecordSize()), ' ');
    std::mt19937 random(7);
    for (auto _ : state) {
        const int recno = 1 + int(random() % n);
        road->Go(recno);
        road->Get(buffer.data());
        road->Put(buffer.data());
    }
    ReportRate(state);
}

// A table walked from the first record to the end as a program reads it,
// through the table layer on the engine or over the connection.
template<bool Server> void Walk(benchmark::State& state)
{
    const int n = int(state.range(0));
    const std::string name = Table(n);
    std::unique_ptr<TTestServer> server;
    std::unique_ptr<TDaroruServerConnection> connection;
    TDaroruTable table(nullptr);
    table.SetDatabaseName(Scratch());
    table.SetTableName(name);
    if (Server) {
        server = std::make_unique<TTestServer>(Scratch());
        connection = std::make_unique<TDaroruServerConnection>(nullptr);
        connection->SetPort(server->Port());
        connection->SetActive(true);
        table.SetDaroruConnection(connection.get());
        table.SetAccessMethod(amServer);
    }
    table.Open();
    for (auto _ : state) {
        int rows = 0;
        for (table.First(); !table.Eof(); table.Next())
            ++rows;
        if (rows != n)
            state.SkipWithError("the walk missed records");
    }
    state.counters["records_per_second"] =
            benchmark::Counter(double(n), benchmark::Counter::kIsIterationInvariantRate);
    table.Close();
}

}  // namespace

BENCHMARK(Walk<false>)->Name("Local/Walk")->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(Walk<true>)->Name("Server/Walk")->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(SeekKey<false>)->Name("Local/Seek")->Arg(1000)->Arg(10000);
BENCHMARK(SeekKey<true>)->Name("Server/Seek")->Arg(1000)->Arg(10000);
BENCHMARK(GetRecord<false>)->Name("Local/GoAndGetRecord")->Arg(1000)->Arg(10000);
BENCHMARK(GetRecord<true>)->Name("Server/GoAndGetRecord")->Arg(1000)->Arg(10000);
BENCHMARK(PutRecord<false>)->Name("Local/GoGetAndPutRecord")->Arg(1000)->Arg(10000);
BENCHMARK(PutRecord<true>)->Name("Server/GoGetAndPutRecord")->Arg(1000)->Arg(10000);
