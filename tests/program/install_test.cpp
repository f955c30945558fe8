// Installing the program into a program directory of the user's: the program starts
// from there on its own files, and what it keeps there (settings, the client pick
// list, the clients' tables) outlives the next install.

#include <gmock/gmock.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include "tests/support/shellfixture.h"

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::IsSupersetOf;

namespace {

const std::set<std::string> ProgramFiles = {
        "totamund",    "libxbe50.so", "FONT1.PRN",  "FONT2.PRN",  "US1096$1.HP", "USMISCB1.HP", "USMISCC1.HP",
        "USMISC11.HP", "USMISC21.HP", "USINTB1.HP", "USINTC1.HP", "USINT11.HP",  "USINT21.HP"};

// Installs this build into Prefix as scripts/run.sh does; the command's status.
int Install(const std::string& Prefix)
{
    const std::string command =
            std::string("'" TOTAMUND_CMAKE_COMMAND "' --install '" TOTAMUND_BINARY_DIR "' --prefix '") +
            Prefix + "' > /dev/null";
    return std::system(command.c_str());
}

std::string Bytes(const fs::path& Path)
{
    std::ifstream in(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Every file below Dir that the install did not write, by its relative path, with its bytes.
std::map<std::string, std::string> KeptFiles(const std::string& Dir)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(Dir)) {
        const std::string name = fs::relative(entry.path(), Dir).string();
        if (entry.is_regular_file() && !ProgramFiles.count(name))
            files[name] = Bytes(entry.path());
    }
    return files;
}

// The files a running process has mapped (its program and the libraries it loaded).
std::set<std::string> MappedFiles(pid_t Pid)
{
    std::set<std::string> files;
    std::ifstream maps("/proc/" + std::to_string(Pid) + "/maps");
    for (std::string line; std::getline(maps, line);) {
        const size_t slash = line.find('/');
        if (slash != std::string::npos)
            files.insert(line.substr(slash));
    }
    return files;
}

// Starts the installed program offscreen, with no library path of the build's, and
// waits (up to ten seconds) until its start has made the client pick list there; then
// ends it. The files it had mapped.
std::set<std::string> RunInstalled(const std::string& Prefix)
{
    // Made before the fork: the child only starts the program.
    const std::string program = Prefix + "totamund";
    std::vector<std::string> environment = {"QT_QPA_PLATFORM=offscreen", "HOME=" + Prefix};
    if (const char* path = std::getenv("PATH"))
        environment.push_back(std::string("PATH=") + path);
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const pid_t pid = fork();
    if (pid == 0) {
        ::execve(program.c_str(), argv, envp.data());
        ::_exit(127);
    }
    std::set<std::string> mapped;
    for (int i = 0; i < 200; ++i) {
        mapped = MappedFiles(pid);
        if (fs::exists(Prefix + "CLIENTLIST.DBF"))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    int status = 0;
    const bool running = ::waitpid(pid, &status, WNOHANG) == 0;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(running) << "the installed program ended at its start";
    return mapped;
}

class InstallTest : public ShellFixture { };

TEST_F(InstallTest, TheInstalledProgramRunsOnItsOwnFilesAndItsClientsOutliveTheNextInstall)
{
    const std::string prefix = Dir.Path();
    ASSERT_EQ(Install(prefix), 0);
    for (const std::string& name : ProgramFiles)
        EXPECT_TRUE(fs::exists(prefix + name)) << name;

    // Started from the install, it runs on the engine beside it and nothing of the build.
    const std::set<std::string> mapped = RunInstalled(prefix);
    EXPECT_THAT(mapped, IsSupersetOf({prefix + "totamund", prefix + "libxbe50.so"}));
    for (const std::string& file : mapped)
        EXPECT_FALSE(file.starts_with(TOTAMUND_BINARY_DIR "/")) << file << " is read from the build folder";
    EXPECT_TRUE(fs::exists(prefix + "CLIENTLIST.DBF"));

    // A client made there, and the settings saved as the program saves them at its end.
    Start();
    MakeClient("08ACME", "ACME SUPPLY");
    FMain->SaveUserSettings();
    const std::map<std::string, std::string> kept = KeptFiles(prefix);
    for (const char* name : {"TOTUSER.USR", "CLIENTLIST.DBF", "CLIENTLIST.CDX"})
        EXPECT_THAT(kept, Contains(testing::Key(name)));
    EXPECT_TRUE(fs::is_directory(prefix + "08ACME"));

    // Installing again puts back the program's own files and leaves the rest as it was.
    std::ofstream(prefix + "FONT1.PRN", std::ios::trunc) << "damaged";
    ASSERT_EQ(Install(prefix), 0);
    EXPECT_EQ(Bytes(prefix + "FONT1.PRN"), Bytes(TOTAMUND_BINARY_DIR "/bin/FONT1.PRN"));
    EXPECT_EQ(KeptFiles(prefix), kept);
}

}  // namespace
