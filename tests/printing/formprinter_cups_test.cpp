// Raw pages and soft fonts through a real print system: the test starts a cupsd
// of its own (configuration, spool and logs in a temporary directory, listening
// on a local socket only) with a queue whose device is a file, prints to it and
// reads the file back.

#include <cups/cups.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/vcl/printers.h"
#include "printing/formprinter.h"
#include "tests/printing/formprinterfixture.h"

extern char** environ;

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const std::string Queue = "FormLaser";

// The file device prints nothing without a filter; this queue's one filter passes
// raw documents through unchanged.
const char* const PassThroughPpd = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "FORMLASR.PPD"
*Manufacturer: "Test"
*Product: "(Form Laser)"
*ModelName: "Form Laser"
*ShortNickName: "Form Laser"
*NickName: "Form Laser"
*PSVersion: "(3010.000) 0"
*cupsFilter: "application/vnd.cups-raw 0 gziptoany"
*OpenUI *PageSize: PickOne
*DefaultPageSize: Letter
*PageSize Letter: ""
*CloseUI: *PageSize
*DefaultImageableArea: Letter
*ImageableArea Letter: "0 0 612 792"
*DefaultPaperDimension: Letter
*PaperDimension Letter: "612 792"
)ppd";

std::string ReadFile(const std::filesystem::path& File) {
    std::ifstream in(File, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

pid_t Spawn(const std::vector<std::string>& Command, const std::string& Output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, Output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<char*> argv;
    for (const std::string& arg : Command) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int RunTool(const std::vector<std::string>& Command, const std::string& Output) {
    const pid_t pid = Spawn(Command, Output);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) < 0) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class FormPrinterCups : public FormPrinterFixture {
protected:
    void SetUp() override {
        FormPrinterFixture::SetUp();
        const std::string why = StartCupsd();
        if (!why.empty()) GTEST_SKIP() << "this machine cannot run a private cupsd: " << why;
    }
    void TearDown() override {
        if (FCupsd > 0) {
            ::kill(FCupsd, SIGTERM);
            ::waitpid(FCupsd, nullptr, 0);
        }
        cupsSetServer(nullptr);
        ::unsetenv("CUPS_SERVER");
        FormPrinterFixture::TearDown();
    }

    // "" once cupsd answers on its socket and the queue is there; otherwise why not.
    std::string StartCupsd() {
        const std::string cupsd = "/usr/sbin/cupsd";
        const std::string lpadmin = "/usr/sbin/lpadmin";
        if (::access(cupsd.c_str(), X_OK) != 0 || ::access(lpadmin.c_str(), X_OK) != 0)
            return "cupsd and lpadmin are not installed (packages cups, cups-client)";
        // Filters run as the print system's own user, which must reach the spool.
        std::filesystem::permissions(FRoot.Path(), std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                                       std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                                       std::filesystem::perms::others_exec);
        const std::string root = FRoot.Path() + "cups";
        for (const char* sub : {"/spool/tmp", "/cache", "/state", "/log"}) std::filesystem::create_directories(root + sub);
        FSocket = root + "/cups.sock";
        FDevice = root + "/device.prn";
        std::ofstream(root + "/cupsd.conf") << "Listen " << FSocket << "\nLogLevel warn\nWebInterface No\nBrowsing No\n"
                                            << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n";
        std::ofstream(root + "/cups-files.conf") << "FileDevice Yes\nServerRoot " << root << "\nRequestRoot " << root << "/spool\n"
                                                 << "TempDir " << root << "/spool/tmp\nCacheDir " << root << "/cache\n"
                                                 << "StateDir " << root << "/state\nErrorLog " << root << "/log/error_log\n"
                                                 << "AccessLog " << root << "/log/access_log\nPageLog " << root << "/log/page_log\n";
        std::ofstream(root + "/formlaser.ppd") << PassThroughPpd;
        FLog = root + "/log/output";
        FCupsd = Spawn({cupsd, "-f", "-c", root + "/cupsd.conf", "-s", root + "/cups-files.conf"}, FLog);
        if (FCupsd < 0) return "cupsd could not be started";
        ::setenv("CUPS_SERVER", FSocket.c_str(), 1);
        cupsSetServer(FSocket.c_str());
        for (int tries = 0; !std::filesystem::exists(FSocket); ++tries) {
            if (tries == 100 || ::waitpid(FCupsd, nullptr, WNOHANG) == FCupsd) {
                if (tries < 100) FCupsd = -1;
                return "cupsd did not start listening: " + ReadFile(FLog) + ReadFile(root + "/log/error_log");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (RunTool({lpadmin, "-p", Queue, "-E", "-v", "file://" + FDevice, "-P", root + "/formlaser.ppd"}, FLog) != 0 ||
            RunTool({lpadmin, "-d", Queue}, FLog) != 0)
            return "the queue could not be added: " + ReadFile(FLog);
        return "";
    }

    // The bytes the queue's device got for the last job, once no job is left to print.
    std::string PrintedBytes() {
        for (int tries = 0; tries < 200; ++tries) {
            cups_job_t* jobs = nullptr;
            const int active = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, Queue.c_str(), 0, CUPS_WHICHJOBS_ACTIVE);
            cupsFreeJobs(active, jobs);
            if (active == 0) return ReadFile(FDevice);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ADD_FAILURE() << "the job was never printed: " << ReadFile(FRoot.Path() + "cups/log/error_log").substr(0, 2000);
        return "";
    }

    // The names of the finished jobs, oldest first.
    std::vector<std::string> FinishedJobs() {
        cups_job_t* jobs = nullptr;
        const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, Queue.c_str(), 0, CUPS_WHICHJOBS_COMPLETED);
        std::vector<std::pair<int, std::string>> found;
        for (int i = 0; i < count; ++i) found.push_back({jobs[i].id, jobs[i].title});
        cupsFreeJobs(count, jobs);
        std::sort(found.begin(), found.end());
        std::vector<std::string> titles;
        for (const auto& job : found) titles.push_back(job.second);
        return titles;
    }

    TempDir FRoot;
    pid_t FCupsd = -1;
    std::string FSocket;
    std::string FDevice;
    std::string FLog;
};

TEST_F(FormPrinterCups, ThreePagesAndTheSoftFontsReachTheQueueByteForByte) {
    // Bytes a filter could spoil: NUL, 0xFF, CR LF, a form feed.
    const std::string overlay = Esc("&l0O") + std::string("\0\xff\r\n\x0c", 5) + "    " + Esc("&alrC");
    Dir.Write("copyb.hp", overlay);
    Dir.Write("FONT1.PRN", Esc(")s64W") + std::string("\0\x01\xfe\xff", 4));
    Dir.Write("FONT2.PRN", Esc("*c1D") + std::string(5000, '\x80'));

    // No printer chosen yet: the desktop printer's current one is taken and kept.
    TPrinter* desktop = Printer();
    const std::vector<String> desktopPrinters = desktop->Printers();
    const auto listed = std::find(desktopPrinters.begin(), desktopPrinters.end(), Queue);
    ASSERT_NE(listed, desktopPrinters.end()) << "the desktop printer list does not show the private queue";
    desktop->SetPrinterIndex(static_cast<int>(listed - desktopPrinters.begin()));
    FMain->PrinterName = "";
    FMain->Copies = 2;

    FormPrinter printer;
    for (const char* name : {"ANN ARBOR", "JOS\xc9 P\xc9REZ", "CY"}) {
        printer.StartPage();
        printer.LoadOverlay("COPYB.HP");
        printer.PrintText(10, 5, name);
        printer.PrintAmount(20, 55, 1234.5, "TOTAMT", "#.00");
        ASSERT_TRUE(printer.EndPage("Copy B")) << ::testing::PrintToString(Shown());
        const std::string symbolSet = std::string(name).find('\xc9') != std::string::npos ? Esc("(19U") : "";
        EXPECT_EQ(PrintedBytes(), Esc("E") + symbolSet + overlay + Esc("&l2X") + Esc("&a10r5C") + name + Esc("&a20r49C1234.50") + Esc("E"))
            << name;
    }
    EXPECT_EQ(FMain->PrinterName, Queue);

    ASSERT_TRUE(printer.DownloadSoftFonts());
    EXPECT_TRUE(PrintedBytes() == ReadFile(Dir / "FONT1.PRN") + ReadFile(Dir / "FONT2.PRN"));
    EXPECT_THAT(FinishedJobs(), ElementsAre("Copy B", "Copy B", "Copy B", "Korvane Soft Fonts"));
    EXPECT_THAT(Shown(), ::testing::IsEmpty());
}

TEST_F(FormPrinterCups, APageTheQueueRefusesIsReportedAndNotCountedAsPrinted) {
    ASSERT_EQ(RunTool({"/usr/sbin/cupsreject", Queue}, FLog), 0) << ReadFile(FLog);
    FMain->PrinterName = Queue + " on file:";
    FormPrinter printer;
    printer.StartPage();
    printer.PrintText(1, 1, "REFUSED");
    EXPECT_FALSE(printer.EndPage("Copy C"));

    FMain->PrinterName = "NoSuchQueue";
    printer.StartPage();
    EXPECT_FALSE(printer.EndPage("Copy C"));
    ASSERT_EQ(Shown().size(), 2u);
    EXPECT_THAT(Shown()[0], HasSubstr("The printer did not accept \"Copy C\": "));
    EXPECT_THAT(Shown()[0], HasSubstr("not accepting jobs"));
    EXPECT_EQ(Shown()[1], "Failed to open specified printer.");
    EXPECT_THAT(FinishedJobs(), ::testing::IsEmpty());
}

}  // namespace
