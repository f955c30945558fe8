#pragma once
// The reference files the engine tests read. A file that cannot be opened
// stops its test at once with the file's name: a test that read nothing
// would otherwise walk an empty table or index without end.

#include <fstream>
#include <string>

#include <gtest/gtest.h>

inline testing::AssertionResult FixtureReadable(const std::string& path)
{
    if (std::ifstream(path, std::ios::binary).good())
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "reference file cannot be opened: " << path;
}

// The path of a reference file under the repository's xBase fixtures.
inline std::string FixturePath(const std::string& name)
{
    return std::string(TOTAMUND_FIXTURES) + "/xbase/infused-dbf/" + name;
}
