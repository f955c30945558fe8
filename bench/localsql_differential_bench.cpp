// The long differential run of the local SQL engine: 100,000 random statements
// over the program's EMPLOYEE and TOTTRANS layouts, run on the tables and on
// plain SQLite holding the same rows (the generator and the comparison of
// tests/sql/sqldifferential.h), the tables compared every 1,000 statements and at
// the end, each tag walked at the end. The counters give the statements run,
// those both sides refused, and the differences found, which are printed.

#include <iostream>

#include <benchmark/benchmark.h>

#include "bench/localsqlengine.h"
#include "tests/sql/sqldifferential.h"
#include "tests/support/tempdir.h"

namespace {

void RandomStatements(benchmark::State& state)
{
    const int statements = int(state.range(0));
    for (auto _ : state) {
        // The engine waits for the disk at each record it writes; the tables stay in memory where they can.
        const TempDir scratch("localsql-differential", TempDir::MemoryBase());
        const std::string dir = scratch.Path();
        xb_SetDeleted(0);
        sqldifferential::TOutcome outcome;
        std::string tags;
        {
            sqldifferential::TDifferentialRun run({&LinkedEngine(), LinkedEngineError}, dir, 56, 40, 400);
            outcome = run.Run(statements, 1000);
            for (const sqldifferential::TShape* shape : sqldifferential::Shapes)
                if (const std::string problem = run.TagDifference(*shape); !problem.empty())
                    outcome.Differences.push_back(std::string(shape->Name) + ": " + problem);
        }
        for (const std::string& difference : outcome.Differences)
            std::cerr << difference << "\n";
        state.counters["statements"] = outcome.Statements;
        state.counters["refused_by_both"] = outcome.Failed;
        state.counters["differences"] = double(outcome.Differences.size());
    }
}

BENCHMARK(RandomStatements)->Arg(100000)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
