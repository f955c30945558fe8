#include "tests/support/cupsdfixture.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace {

pid_t Spawn(const std::vector<std::string>& Command, const std::string& Output)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, Output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<char*> argv;
    for (const std::string& arg : Command)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

}  // namespace

std::string ReadWholeFile(const std::string& File)
{
    std::ifstream in(File, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

PrivateCupsd::~PrivateCupsd()
{
    if (FCupsd > 0) {
        ::kill(FCupsd, SIGTERM);
        ::waitpid(FCupsd, nullptr, 0);
    }
    cupsSetServer(nullptr);
    ::unsetenv("CUPS_SERVER");
}

int PrivateCupsd::RunTool(const std::vector<std::string>& Command)
{
    const pid_t pid = Spawn(Command, FLog);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) < 0)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string PrivateCupsd::Log() const
{
    return ReadWholeFile(FLog) + ReadWholeFile(FRoot.Path() + "cups/log/error_log");
}

std::string PrivateCupsd::Start(const std::string& Queue, const std::string& Ppd)
{
    const std::string cupsd = "/usr/sbin/cupsd";
    const std::string lpadmin = "/usr/sbin/lpadmin";
    if (::access(cupsd.c_str(), X_OK) != 0 || ::access(lpadmin.c_str(), X_OK) != 0)
        return "cupsd and lpadmin are not installed (packages cups, cups-client)";
    FQueue = Queue;
    // Filters run as the print system's own user, which must reach the spool.
    std::filesystem::permissions(
            FRoot.Path(), std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                  std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                  std::filesystem::perms::others_exec);
    const std::string root = FRoot.Path() + "cups";
    for (const char* sub : {"/spool/tmp", "/cache", "/state", "/log"})
        std::filesystem::create_directories(root + sub);
    FSocket = root + "/cups.sock";
    FDevice = root + "/device.prn";
    std::ofstream(root + "/cupsd.conf")
            << "Listen " << FSocket << "\nLogLevel warn\nWebInterface No\nBrowsing No\n"
            << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n";
    std::ofstream(root + "/cups-files.conf")
            << "FileDevice Yes\nServerRoot " << root << "\nRequestRoot " << root << "/spool\n"
            << "TempDir " << root << "/spool/tmp\nCacheDir " << root << "/cache\n"
            << "StateDir " << root << "/state\nErrorLog " << root << "/log/error_log\n"
            << "AccessLog " << root << "/log/access_log\nPageLog " << root << "/log/page_log\n";
    std::ofstream(root + "/queue.ppd") << Ppd;
    FLog = root + "/log/output";
    FCupsd = Spawn({cupsd, "-f", "-c", root + "/cupsd.conf", "-s", root + "/cups-files.conf"}, FLog);
    if (FCupsd < 0)
        return "cupsd could not be started";
    ::setenv("CUPS_SERVER", FSocket.c_str(), 1);
    cupsSetServer(FSocket.c_str());
    for (int tries = 0; !std::filesystem::exists(FSocket); ++tries) {
        if (tries == 100 || ::waitpid(FCupsd, nullptr, WNOHANG) == FCupsd) {
            if (tries < 100)
                FCupsd = -1;
            return "cupsd did not start listening: " + Log();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (RunTool({lpadmin, "-p", Queue, "-E", "-v", "file://" + FDevice, "-P", root + "/queue.ppd"}) != 0 ||
        RunTool({lpadmin, "-d", Queue}) != 0)
        return "the queue could not be added: " + ReadWholeFile(FLog);
    return "";
}

std::string PrivateCupsd::PrintedBytes()
{
    for (int tries = 0; tries < 200; ++tries) {
        cups_job_t* jobs = nullptr;
        const int active = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, FQueue.c_str(), 0, CUPS_WHICHJOBS_ACTIVE);
        cupsFreeJobs(active, jobs);
        if (active == 0)
            return ReadWholeFile(FDevice);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ADD_FAILURE() << "the job was never printed: " << Log().substr(0, 2000);
    return "";
}

std::vector<std::string> PrivateCupsd::FinishedJobs()
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, FQueue.c_str(), 0, CUPS_WHICHJOBS_COMPLETED);
    std::vector<std::pair<int, std::string>> found;
    for (int i = 0; i < count; ++i)
        found.push_back({jobs[i].id, jobs[i].title});
    cupsFreeJobs(count, jobs);
    std::sort(found.begin(), found.end());
    std::vector<std::string> titles;
    for (const auto& job : found)
        titles.push_back(job.second);
    return titles;
}
