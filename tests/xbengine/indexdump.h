#pragma once
// Another xBase reader over our index files: DBD::XBase's index_dump, run
// with the system perl, its lines "key recno" in its order.

#include <charconv>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/xbengine/commandoutput.h"

using IndexDumpLines = std::vector<std::pair<std::string, std::uint32_t>>;

// type is index_dump's key type: "char" or "num" (numbers and dates alike).
inline IndexDumpLines IndexDump(const std::string& path, const std::string& tag, const char* type)
{
    std::string command = "/usr/bin/perl /usr/bin/index_dump -type " + std::string(type) + " '" + path +
                          "' " + tag + " 2>&1";
    const std::string output = CommandOutput(command);
    IndexDumpLines lines;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        std::string line = output.substr(start, end - start);
        start = end == std::string::npos ? output.size() : end + 1;
        std::size_t space = line.rfind(' ');
        if (space == std::string::npos) {
            ADD_FAILURE() << "index_dump: " << line;
            continue;
        }
        lines.emplace_back(line.substr(0, space), std::uint32_t(std::stoul(line.substr(space + 1))));
    }
    return lines;
}

// A number as index_dump prints it.
inline double DumpNumber(const std::string& text)
{
    double value = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(result.ec == std::errc() && result.ptr == text.data() + text.size()) << text;
    return value;
}
