// Random statements over the program's table layouts give the same answers and
// leave the same tables through the local SQL engine as through plain SQLite
// on the same rows; the files afterwards read the same to an outside reader,
// and every tag holds each record once, in its key's order.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "tables/xbe50.h"
#include "tests/sql/sqldifferential.h"
#include "tests/support/tablefixture.h"
#include "tests/support/tempdir.h"

namespace {

using sqldifferential::TDifferentialRun;

#ifdef __SANITIZE_ADDRESS__
constexpr int Statements = 400;  // under the sanitizer a shorter run checks the memory
#else
constexpr int Statements = 2500;
#endif

// The table's records that are not deleted as python3-dbfread reads them, in the form of
// TDifferentialRun::OracleTable without the record number.
std::vector<std::string> ReadWithDbfread(const std::string& Path)
{
    const char* script =
            "import sys, dbfread\n"
            "def shown(v):\n"
            "    if v is None: return 'NULL'\n"
            "    if isinstance(v, str): return \"'\" + v + \"'\"\n"
            "    if isinstance(v, (int, float)): return '%.12g' % v\n"
            "    return \"'\" + v.isoformat() + \"'\"\n"
            "for r in dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict'):\n"
            "    print('|'.join(shown(v) for v in r.values()))\n";
    setenv("DIFFERENTIAL_SCRIPT", script, 1);
    std::vector<std::string> lines;
    FILE* pipe = popen(("/usr/bin/python3 -c \"$DIFFERENTIAL_SCRIPT\" '" + Path + "' 2>&1").c_str(), "r");
    char line[4096];
    while (pipe && std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        lines.push_back(text);
    }
    if (pipe)
        pclose(pipe);
    return lines;
}

class LocalSqlDifferentialTest : public TableTest {
protected:
    sqldifferential::TEngineAccess Engine() const { return {&Xbe(), XbeLastErrorText}; }
};

TEST_F(LocalSqlDifferentialTest, RandomStatementsAnswerAndWriteAsPlainSqliteDoes)
{
    // The engine waits for the disk at each record it writes; where the machine
    // has a file system in memory the run's tables stay there.
    const TempDir scratch("localsql-differential", TempDir::MemoryBase());
    const std::string dir = scratch.Path();
    {
        TDifferentialRun run(Engine(), dir, 20261211, 90, 1000);
        const sqldifferential::TOutcome outcome = run.Run(Statements);
        for (const std::string& difference : outcome.Differences)
            ADD_FAILURE() << difference;
        EXPECT_EQ(outcome.Statements, Statements);
        // The run exercises refusals too: each must have failed on both sides.
        EXPECT_GT(outcome.Failed, Statements / 50);
        for (const sqldifferential::TShape* shape : sqldifferential::Shapes) {
            std::vector<std::string> expected;
            for (const std::string& row : run.OracleTable(*shape))
                expected.push_back(row.substr(row.find('|') + 1));
            EXPECT_EQ(ReadWithDbfread(dir + shape->Name + ".DBF"), expected) << shape->Name;
            EXPECT_EQ(run.TagDifference(*shape), "") << shape->Name;
        }
    }
}

}  // namespace
