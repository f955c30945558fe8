// A second process on a table, for the sharing tests. It runs one command,
// prints "ready" or "failed", and holds what it took until its standard input
// closes.
//
//   tables_peer rlock <table> <record>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tables/xbe50.h"

int main(int argc, char** argv)
{
    if (argc != 4 || std::string(argv[1]) != "rlock")
        return 2;
    LoadDLL();
    XBE_CALL(xb_ErrorLevel, 0);
    const bool ok = XBE_CALL(xb_Use, argv[2], "PEER", 0, 2) > 0 && XBE_CALL(xb_Rlock, std::atoi(argv[3]));
    std::printf(ok ? "ready\n" : "failed\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return ok ? 0 : 1;
}
