#pragma once
// What a command prints, for the tests that read the engine's files with
// another program; a command that fails fails the test.

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

inline std::string CommandOutput(const std::string& command)
{
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return output;
    }
    char buffer[65536];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    EXPECT_EQ(::pclose(pipe), 0) << output.substr(0, 2000);
    return output;
}
