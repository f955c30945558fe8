#pragma once
// A fresh directory, by default under the system's temporary directory,
// removed with everything in it when the test ends.

#include <filesystem>
#include <string>

class TempDir {
public:
    // A directory named Prefix plus six random characters, made under Base.
    explicit TempDir(const std::string& Prefix = "test", const std::filesystem::path& Base = SystemBase());
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The system's temporary directory.
    static std::filesystem::path SystemBase();
    // Memory-backed /dev/shm where there is one, for tests that write much; else SystemBase().
    static std::filesystem::path MemoryBase();

    // The directory, ending with "/".
    const std::string& Path() const { return FPath; }
    // The directory, without the final "/".
    std::string Root() const { return FPath.substr(0, FPath.size() - 1); }
    std::string operator/(const std::string& Name) const { return FPath + Name; }

    // Writes Bytes to the file Name (below the directory), making its directories.
    std::string Write(const std::string& Name, const std::string& Bytes) const;
    // All bytes of the file Name, or "<missing>".
    std::string Read(const std::string& Name) const;

private:
    std::string FPath;
};
