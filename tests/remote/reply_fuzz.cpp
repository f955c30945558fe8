// Random, damaged and cut-off replies from a fixed seed against every kind of
// reply the connection reads (text, truth values, numbers, record images,
// blobs, lock lists, parameter blocks), against the SQL query data set's
// statement, structure and record replies, and against a table walk whose
// fetches are sent ahead: every run ends with a result, a refusal or a lost
// connection, never with a crash, a hang or an allocation the reply did not
// pay for.
// Usage: reply_fuzz [runs]

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>

#include "remote/droqset.h"
#include "remote/wire.h"
#include "tests/support/tempdir.h"
#include "tests/support/testserver.h"

namespace {
std::mt19937 Random(20261211);

int Below(int N) { return static_cast<int>(Random() % static_cast<unsigned>(N)); }

// Random bytes, with digits, blanks and line ends more likely than the rest.
String Noise(int Count)
{
    static const char common[] = "0123456789ABCDEF \r\nYN-";
    String bytes;
    for (int i = 0; i < Count; ++i)
        bytes += Below(3) ? common[Below(sizeof common - 1)] : static_cast<char>(Random());
    return bytes;
}

// A hexadecimal count: mostly small and true, sometimes at or past a limit.
String Count8()
{
    static const Int64 edges[] = {0,          1,          2,          255,       256,
                                  257,        0xFFFFF,    0x100000,   0x100001,  0x7FFFFFF0,
                                  0x7FFFFFFC, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    if (Below(6) == 0)
        return Below(2) ? String("-0000001") : Noise(8);
    return Wire::Hex(Below(2) ? edges[Below(std::size(edges))] : Below(12), 8);
}

// One or more packets ending with the reply to Code, each header possibly lying.
String Packets(const String& Code, const String& Payload)
{
    String bytes;
    for (int p = Below(3); p > 0; --p) {
        const String kind = Below(2) ? "0300" : "0301";
        const String body = Noise(Below(40));
        bytes += Wire::Hex(static_cast<Int64>(body.size()), 8) + "00000000" + kind + body;
    }
    const Int64 length = Below(5) ? static_cast<Int64>(Payload.size()) : static_cast<Int64>(Random());
    String header = Wire::Hex(length, 8) + "00000000" + (Below(8) ? Code : String("0470"));
    if (Below(6) == 0)
        header[static_cast<size_t>(Below(20))] = static_cast<char>(Random());
    bytes += header + Payload;
    if (Below(5) == 0)
        bytes.resize(static_cast<size_t>(Below(static_cast<int>(bytes.size()) + 1)));
    return bytes;
}

// A request of each reply class, with its code.
struct TTarget {
    const char* Code;
    std::function<void(TDaroruServerConnection&)> Call;
};

const std::vector<TTarget>& Targets()
{
    static char record[64];
    static char blob[256];
    static XBLONG locks[64];
    static const std::vector<TTarget> targets = {
            {"0470", [](auto& c) { c.ap_RecCount(); }},
            {"0491", [](auto& c) { c.ap_GetString("NAME"); }},
            {"0476", [](auto& c) { c.ap_Bof(); }},
            {"0503", [](auto& c) { c.ap_Seek("K"); }},
            {"0610", [](auto& c) { c.ap_FieldCount(); }},
            {"0468", [](auto& c) { c.ap_Use("T.DBF", "T", 0, 2); }},
            {"0485", [](auto& c) { c.ap_GetDouble("AMT"); }},
            {"0529", [](auto& c) { c.ap_Locate("X", 1, 0); }},
            {"0591",
             [](auto& c) {
                 XBLONG recno = 0;
                 c.ap_TraverseTable(true, false, 0, gmNext, recno, record, sizeof record);
             }},
            {"0515", [](auto& c) { c.ap_GetRecord(record); }},
            {"0480", [](auto& c) { c.ap_GetBlob("MEMO", blob); }},
            {"0588", [](auto& c) { c.ap_DBRlockList(locks); }},
            {"0044", [](auto& c) { c.GetParams("PROC"); }},
            {"0459", [](auto& c) { c.GetConnectionID(); }},
            {"0806", [](auto& c) { c.ap_sql_GetStructure(amServer, 1); }},
    };
    return targets;
}

// The payload a target's request is answered with: its own shape, damaged.
String PayloadFor(const String& Code)
{
    if (Code == "0591")
        return String(1, "01234"[Below(5)]) + Count8() + Noise(Below(80));
    if (Code == "0044") {
        String block;
        for (int i = Below(4); i > 0; --i)
            block += Count8() + Noise(4) + Noise(20) + Noise(Below(16));
        return block;
    }
    return Noise(Below(Code == "0480" || Code == "0588" ? 400 : 40));
}

// A walk whose fetches the server answers from a list made up in advance:
// records, ends, a record sent twice, damaged packets; past the list it
// closes the connection. The walk ends with another request, which reads
// what was sent ahead.
void RunWalk(TTestServer& Server, TDaroruServerConnection& Connection)
{
    static char record[64];
    auto replies = std::make_shared<std::vector<String>>();
    for (int i = Below(100); i > 0; --i) {
        const int kind = Below(20);
        const XBLONG recNo = kind == 0 && !replies->empty() ? static_cast<XBLONG>(replies->size())
                                                            : static_cast<XBLONG>(replies->size()) + 1;
        const String good = (kind == 1 ? "2" : "0") + Wire::Hex(recNo, 8) + (kind == 1 ? "" : Noise(64));
        replies->push_back(kind == 2 ? Packets("0591", PayloadFor("0591"))
                                     : Wire::Hex(static_cast<Int64>(good.size()), 8) + "00000000" + "0591" +
                                               good);
    }
    auto next = std::make_shared<size_t>(0);
    Server.On("0591", [replies, next](TTestServer::TSession& S, const TTestServer::TFrame&) {
        if (*next < replies->size())
            S.SendRaw((*replies)[(*next)++]);
        else
            S.Close();
        return true;
    });
    Server.On("0493", [](TTestServer::TSession& S, const TTestServer::TFrame&) {
        S.Send("0493", "");
        return true;
    });
    XBLONG recNo = 0;
    Connection.ap_TraverseTable(true, false, 0, gmNext, recNo, record, sizeof record);
    for (int i = Below(120); i > 0 && Connection.Connected(); --i)
        Connection.ap_TraverseTable(false, false, 0, Below(30) ? gmNext : gmPrior, recNo, record,
                                    sizeof record);
    Connection.ap_RecCount();
}

// A query whose statement, structure and rows the server makes up.
void RunQuery(TTestServer& Server, TDaroruServerConnection& Connection)
{
    const String rows = Wire::Hex(Below(5), 8);
    const String size = Below(3) ? Wire::Hex(4 + Below(40), 8) : Count8();
    const String fields = Below(3) ? Wire::Hex(1 + Below(3), 8) : Count8();
    String structure;
    for (int i = Below(4); i > 0; --i)
        structure += "F" + std::to_string(i) + "\r\n" + Wire::Hex(Below(20), 8) + "\r\n" +
                     (Below(3) ? Wire::Hex(Below(12), 8) : Count8()) + "\r\n" +
                     (Below(3) ? Wire::Hex(Below(40), 8) : Count8()) + "\r\n\r\n";
    String block = Below(4) ? rows : Count8();
    for (int i = Below(5); i > 0; --i)
        block += Wire::Hex(i, 8) + Noise(Below(48));
    const std::map<String, String> answers = {{"0800", "00000001" + String(8, '0')},
                                              {"0802", String(8, '0') + rows + size + fields},
                                              {"0806", structure},
                                              {"0807", block}};
    const String damaged = std::next(answers.begin(), Below(4))->first;
    for (const auto& [code, payload] : answers) {
        const String bytes = code == damaged ? Packets(code, payload)
                                             : Wire::Hex(static_cast<Int64>(payload.size()), 8) + "00000000" +
                                                       code + payload;
        Server.On(code, [bytes](TTestServer::TSession& S, const TTestServer::TFrame&) {
            S.SendRaw(bytes);
            return true;
        });
    }
    TDaroruQuery query(nullptr);
    query.SetDaroruConnection(&Connection);
    query.TableNames().Add().SetTableName("T.DBF");
    query.SetSQLText("SELECT * FROM T");
    try {
        query.Open();
        for (int i = 0; i < 6 && !query.Eof(); ++i) {
            for (int f = 0; f < query.Fields().Count(); ++f)
                query.Fields()[f]->AsString();
            query.Next();
        }
        query.Insert();
        for (int f = 0; f < query.Fields().Count(); ++f)
            query.Fields()[f]->SetAsString("1");
        query.Post();
    } catch (const std::exception&) {
        // a refusal is an answer
    }
}
}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 1000;
    const TempDir scratch("reply-fuzz");
    TTestServer server(scratch.Path());
    int kept = 0;
    for (int run = 0; run < runs; ++run) {
        TDaroruServerConnection connection(nullptr);
        connection.SetPort(server.Port());
        connection.ShutdownWait = 0;
        connection.Transport().ReceiveTimeout = 200;
        connection.OnError = [](TObject*, const String&, const String&) {};
        connection.SetActive(true);
        if (!connection.Active()) {
            std::fprintf(stderr, "run %d: no connection\n", run);
            return 1;
        }
        if (run % 3 == 2) {
            RunQuery(server, connection);
        } else if (run % 6 == 1) {
            RunWalk(server, connection);
        } else {
            const TTarget& target = Targets()[static_cast<size_t>(Below(static_cast<int>(Targets().size())))];
            // Each run's answer is its own copy: a previous session may still be sending.
            const String bytes = Packets(target.Code, PayloadFor(target.Code));
            server.On(target.Code, [bytes](TTestServer::TSession& S, const TTestServer::TFrame&) {
                S.SendRaw(bytes);
                S.Close();
                return true;
            });
            target.Call(connection);
        }
        kept += connection.Active();
    }
    std::printf("%d runs, %d ended with the connection kept\n", runs, kept);
    return 0;
}
