#include "platform/win/launcher.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/rtl/cp1252.h"

extern char** environ;

namespace {

TProcessLauncher* Current = nullptr;

bool IsExecutable(const std::string& Path)
{
    struct stat info { };
    return ::stat(Path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(Path.c_str(), X_OK) == 0;
}

// Starts Path with Args; the child's pid, or -1.
pid_t Spawn(const std::string& Path, const std::vector<String>& Args)
{
    std::vector<std::string> strings;
    strings.push_back(Path);
    for (const String& arg : Args)
        strings.push_back(Cp1252ToUtf8(arg));
    std::vector<char*> argv;
    for (std::string& s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, Path.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

int WaitFor(pid_t Pid)
{
    int status = 0;
    while (::waitpid(Pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

String FindProgram(const String& Program)
{
    if (Program.empty())
        return String();
    const std::string name = Cp1252ToUtf8(Program);
    if (name.find('/') != std::string::npos)
        return IsExecutable(name) ? Program : String();
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = std::min(dirs.find(':', start), dirs.size());
        std::string dir = dirs.substr(start, end - start);
        if (dir.empty())
            dir = ".";
        const std::string candidate = dir + "/" + name;
        if (IsExecutable(candidate))
            return Utf8ToCp1252(candidate);
        start = end + 1;
    }
    return String();
}

int TSystemLauncher::Run(const String& Program, const std::vector<String>& Args, bool Wait)
{
    const String path = FindProgram(Program);
    if (path.empty())
        return -1;
    if (Wait) {
        const pid_t pid = Spawn(Cp1252ToUtf8(path), Args);
        return pid < 0 ? -1 : WaitFor(pid);
    }
    // A helper starts the program and leaves at once, so the program is nobody's
    // child to wait for when it ends.
    std::vector<String> args = {"-c", "\"$0\" \"$@\" </dev/null >/dev/null 2>&1 &", path};
    args.insert(args.end(), Args.begin(), Args.end());
    const pid_t helper = Spawn("/bin/sh", args);
    return helper < 0 || WaitFor(helper) != 0 ? -1 : 0;
}

bool TSystemLauncher::ShellOpen(const String& Target) { return Run("xdg-open", {Target}, false) == 0; }

TProcessLauncher& Launcher()
{
    static TSystemLauncher system;
    return Current ? *Current : system;
}

TProcessLauncher* SetLauncher(TProcessLauncher* Value)
{
    TProcessLauncher* previous = Current;
    Current = Value;
    return previous;
}
