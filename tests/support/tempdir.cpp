#include "tests/support/tempdir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

TempDir::TempDir(const std::string& Prefix, const std::filesystem::path& Base)
{
    std::filesystem::create_directories(Base);
    std::string pattern = (Base / (Prefix + ".XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary directory under " + Base.string());
    FPath = pattern + "/";
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
}

std::filesystem::path TempDir::SystemBase() { return std::filesystem::temp_directory_path(); }

std::filesystem::path TempDir::MemoryBase()
{
    std::error_code ec;
    return std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm") : SystemBase();
}

std::string TempDir::Write(const std::string& Name, const std::string& Bytes) const
{
    std::filesystem::path path = FPath + Name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << Bytes;
    return path.string();
}

std::string TempDir::Read(const std::string& Name) const
{
    std::ifstream in(Name.starts_with("/") ? Name : FPath + Name, std::ios::binary);
    if (!in)
        return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), {});
}
