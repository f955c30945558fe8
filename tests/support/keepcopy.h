#pragma once
// Copies of what a test made, kept where a reviewer can open them.

#include <filesystem>
#include <string>

// Copies File into the directory Dir (made when missing) as As, over an earlier copy.
inline void KeepCopy(const std::filesystem::path& File, const std::filesystem::path& Dir,
                     const std::string& As)
{
    std::filesystem::create_directories(Dir);
    std::filesystem::copy_file(File, Dir / As, std::filesystem::copy_options::overwrite_existing);
}
