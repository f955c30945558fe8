#pragma once
// Shared ground of the engine tests: a scratch directory, the engine reset
// to its defaults, and small helpers for tables and files.

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/tempdir.h"
#include "tests/xbengine/fixturefile.h"
#include "tests/xbengine/xbebinding.h"

struct FieldSpec {
    const char* Name;
    const char* Type;
    int Width;
    int Decimals;
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates a table and leaves it open, exclusive, in the returned area.
    XBSHORT Create(const std::string& path, const std::vector<FieldSpec>& fields, XBSHORT type = 2);
    // Appends a record and stores text values (type code 1024) in it.
    void AppendTexts(const std::vector<std::pair<const char*, std::string>>& values);
    std::string Trim(const char* field) { return E.xb_GetTrimString(field); }
    std::string Memo(const char* field);
    // Record numbers of the visible records from the top to the end, and
    // from the bottom back to the top (listed in that backward order).
    std::vector<int> VisibleForward();
    std::vector<int> VisibleBackward();

    static std::vector<unsigned char> ReadBytes(const std::string& path);
    static void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);

    XbeBinding& E = Xbe();
    std::optional<TempDir> Scratch;
    std::string Dir;  // scratch directory, ending in "/"
};
