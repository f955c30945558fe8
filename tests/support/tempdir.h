#pragma once
// A fresh directory under the system's temporary directory, removed with
// everything in it when the test ends.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "rtltest.XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        FPath = pattern + "/";
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory, ending with "/".
    const std::string& Path() const { return FPath; }
    std::string operator/(const std::string& Name) const { return FPath + Name; }

    // Writes Bytes to the file Name (below the directory), making its directories.
    std::string Write(const std::string& Name, const std::string& Bytes) const {
        std::filesystem::path path = FPath + Name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << Bytes;
        return path.string();
    }
    // All bytes of the file Name, or "<missing>".
    std::string Read(const std::string& Name) const {
        std::ifstream in(Name.starts_with("/") ? Name : FPath + Name, std::ios::binary);
        if (!in)
            return "<missing>";
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::string FPath;
};
