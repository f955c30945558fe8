// Random, damaged and cut-off reply streams from a fixed seed against the
// connection's reply reader: every run ends with a reply, a refusal or a lost
// connection, never with a crash, a hang or an allocation the stream did not pay for.
// Usage: reply_fuzz [runs]

#include <cstdio>
#include <cstdlib>
#include <random>

#include "remote/drconn.h"
#include "remote/wire.h"
#include "tests/remote/testserver.h"

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 1000;
    char pattern[] = "/tmp/reply-fuzz-XXXXXX";
    if (!mkdtemp(pattern))
        return 2;
    TTestServer server(String(pattern) + "/");
    std::mt19937 random(20261211);
    String bytes;
    const char* kinds[] = {"0300", "0301", "0302", "0470", "0000"};
    int replies = 0;
    for (int run = 0; run < runs; ++run) {
        // A few packets, each with a header that may lie about its length.
        bytes.clear();
        const int packets = 1 + static_cast<int>(random() % 4);
        for (int p = 0; p < packets; ++p) {
            const int length = static_cast<int>(random() % 64);
            String header = Wire::Hex(random() % 3 == 0 ? static_cast<Int64>(random()) : length, 8) +
                            "00000000" + kinds[random() % 5];
            if (random() % 5 == 0)
                header[random() % 20] = static_cast<char>(random());
            bytes += header;
            for (int i = 0, n = static_cast<int>(random() % 80); i < n; ++i)
                bytes += static_cast<char>(random());
        }
        if (random() % 4 == 0)
            bytes.resize(random() % (bytes.size() + 1));
        // Each run's answer is its own copy: a previous session may still be sending.
        server.On("0470", [bytes](TTestServer::TSession& S, const TTestServer::TFrame&) {
            S.SendRaw(bytes);
            S.Close();
            return true;
        });
        TDaroruServerConnection connection(nullptr);
        connection.SetPort(server.Port());
        connection.ShutdownWait = 0;
        connection.Transport().ReceiveTimeout = 2000;
        connection.OnError = [](TObject*, const String&, const String&) {};
        connection.SetActive(true);
        if (!connection.Active()) {
            std::fprintf(stderr, "run %d: no connection\n", run);
            return 1;
        }
        connection.ap_RecCount();
        replies += connection.Active();
    }
    std::printf("%d runs, %d ended with the connection kept\n", runs, replies);
    return 0;
}
