#pragma once
// The bytes of a file the build puts beside the program (PROGRAM_DIR).

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

inline std::string ReadProgramFile(const std::string& Name)
{
    std::ifstream in(std::string(PROGRAM_DIR) + "/" + Name, std::ios::binary);
    if (!in)
        throw std::runtime_error("missing " + Name);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
