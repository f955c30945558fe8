#pragma once
// What the benchmarks share: table columns as the engine creates them, the
// transactions table with its six tags, and a scratch directory of the run.

#include <cstdlib>
#include <string>
#include <vector>

struct Column {
    const char* Name;
    const char* Type;
    int Width;
    int Decimals;
};

// The transactions table and the fields of its six tags, as a reindex makes them.
inline const std::vector<Column> TransactionColumns = {
    {"ACCNO", "N", 8, 2},      {"CATEGORY", "C", 20, 0}, {"SUBCAT", "C", 40, 0},     {"CHDESCR", "C", 40, 0},
    {"PAYEE", "C", 40, 0},     {"DESCR", "C", 60, 0},    {"NOTE1", "C", 40, 0},      {"NOTE2", "C", 40, 0},
    {"DATE", "D", 8, 0},       {"NUMBER", "N", 10, 0},   {"AMOUNT", "N", 10, 2},     {"FWT", "N", 10, 2},
    {"SWT1", "N", 10, 2},      {"STATE_INC1", "N", 10, 2}, {"SWT2", "N", 10, 2},     {"STATE_INC2", "N", 10, 2},
    {"EMP_ID", "C", 8, 0},
};
inline const char* const TransactionTags[] = {"ACCNO", "DESCR", "PAYEE", "NUMBER", "EMP_ID", "DATE"};

// A new directory under /tmp for this run, ending in "/".
inline std::string ScratchDir(const char* prefix)
{
    std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
    return std::string(mkdtemp(pattern.data())) + "/";
}
