#pragma once
// What the benchmarks share: table columns as the engine creates them, the
// transactions table with its six tags and its records, and a scratch
// directory of the run.

#include <cstdlib>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "tests/support/tempdir.h"

struct Column {
    const char* Name;
    const char* Type;
    int Width;
    int Decimals;
};

// The transactions table and the fields of its six tags, as a reindex makes them.
inline const std::vector<Column> TransactionColumns = {
        {"ACCNO", "N", 8, 2},  {"CATEGORY", "C", 20, 0},   {"SUBCAT", "C", 40, 0}, {"CHDESCR", "C", 40, 0},
        {"PAYEE", "C", 40, 0}, {"DESCR", "C", 60, 0},      {"NOTE1", "C", 40, 0},  {"NOTE2", "C", 40, 0},
        {"DATE", "D", 8, 0},   {"NUMBER", "N", 10, 0},     {"AMOUNT", "N", 10, 2}, {"FWT", "N", 10, 2},
        {"SWT1", "N", 10, 2},  {"STATE_INC1", "N", 10, 2}, {"SWT2", "N", 10, 2},   {"STATE_INC2", "N", 10, 2},
        {"EMP_ID", "C", 8, 0},
};
inline const char* const TransactionTags[] = {"ACCNO", "DESCR", "PAYEE", "NUMBER", "EMP_ID", "DATE"};

inline const char* const PayeeWords[] = {"SMITH", "JONES",  "ACME", "SUPPLY",
                                         "BROWN", "OFFICE", "CITY", "WATER"};

inline std::string Payee(std::mt19937& random)
{
    return std::string(PayeeWords[random() % 8]) + " " + PayeeWords[random() % 8] + " " +
           std::to_string(random() % 100000);
}

// The record image of transaction i, its values drawn from random.
inline std::string TransactionImage(int i, std::mt19937& random)
{
    std::string image(1, ' ');
    auto put = [&](const Column& c, std::string text) {
        if (int(text.size()) > c.Width)
            text.resize(std::size_t(c.Width));
        image += c.Type[0] == 'N' ? std::string(std::size_t(c.Width) - text.size(), ' ') + text
                                  : text + std::string(std::size_t(c.Width) - text.size(), ' ');
    };
    for (const Column& c : TransactionColumns) {
        std::string name = c.Name;
        if (name == "ACCNO")
            put(c, std::to_string(1000 + random() % 9000) + ".00");
        else if (name == "PAYEE")
            put(c, Payee(random));
        else if (name == "DESCR")
            put(c, "Payment " + std::to_string(random() % 1000000));
        else if (name == "DATE")
            put(c, std::to_string(2020 + random() % 5) + "0" + std::to_string(1 + random() % 9) + "1" +
                           std::to_string(random() % 9));
        else if (name == "NUMBER")
            put(c, std::to_string(i));
        else if (name == "EMP_ID")
            put(c, "E" + std::to_string(random() % 500));
        else if (c.Type[0] == 'N')
            put(c, std::to_string(random() % 100000) + ".25");
        else
            put(c, c.Name);
    }
    return image;
}

// A new directory for this run, ending in "/", removed when the run ends.
inline std::string ScratchDir(const char* prefix)
{
    static std::deque<TempDir> kept;
    return kept.emplace_back(prefix).Path();
}
