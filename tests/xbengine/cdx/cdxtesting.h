#pragma once
// Helpers shared by the index tests: scratch files and whole-tag listings.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/xbengine/cdx/cdxcursor.h"
#include "platform/xbengine/cdx/cdxindexfile.h"
#include "tests/support/tempdir.h"

using CdxEntries = std::vector<std::pair<String, std::uint32_t>>;

// A directory of its own for one test, removed afterwards.
class CdxScratch : public testing::Test {
protected:
    void SetUp() override
    {
        String name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');  // parameterised tests
        Scratch.emplace("xbcdx-" + name);
        FDir = Scratch->Root();
    }
    void TearDown() override { Scratch.reset(); }
    String Path(const String& name) const { return (FDir / name).string(); }

    std::optional<TempDir> Scratch;
    std::filesystem::path FDir;
};

// Every entry of a tag in its order, walked forward (or backward, then turned round).
inline CdxEntries CdxList(CdxTag& tag, bool backward = false)
{
    CdxEntries entries;
    CdxCursor cursor(tag);
    for (bool more = backward ? cursor.Last() : cursor.First(); more;
         more = backward ? cursor.Prev() : cursor.Next())
        entries.emplace_back(cursor.Key(), cursor.RecNo());
    if (backward)
        std::reverse(entries.begin(), entries.end());
    return entries;
}
