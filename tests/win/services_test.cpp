// The Windows services: registry file, computer name, program launch, calculator, help.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/win/desktop.h"
#include "platform/win/servicedoubles.h"
#include "tests/support/tempdir.h"

using ::testing::ElementsAre;

namespace {

std::filesystem::path ScratchDir(const std::string& name)
{
    static const TempDir scratch("win-services");
    auto dir = std::filesystem::path(scratch.Root()) / name;
    std::filesystem::create_directories(dir);
    return dir;
}

std::string ReadAll(const std::filesystem::path& file)
{
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(RegistryFile, ReadsValuesOfAKeyIgnoringCaseAndTheTrailingBackslash)
{
    const auto file = ScratchDir("registry") / "REGISTRY.INI";
    std::ofstream(file) << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KORVANE]\r\n"
                           "KPX Program Path=C:\\KPX\r\n"
                           "Wagelorn Program Path=\r\n"
                           "Calculator Command=calc --mode=basic;fast\r\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\OTHER]\r\n"
                           "KVGL Program Path=wrong\r\n";
    const TRegistryFile registry(file.string());
    const struct {
        const char* Key;
        const char* Name;
        const char* Expected;
    } cases[] = {
            {"SOFTWARE\\KORVANE\\", "KPX Program Path", "C:\\KPX"},
            {"software\\korvane", "kpx program path", "C:\\KPX"},
            {"SOFTWARE\\KORVANE\\", "Wagelorn Program Path", ""},
            {"SOFTWARE\\KORVANE\\", "KVGL Program Path", ""},
            {"SOFTWARE\\KORVANE\\", "Calculator Command", "calc --mode=basic;fast"},
            {"SOFTWARE\\MISSING\\", "KPX Program Path", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(registry.ReadMachineString(c.Key, c.Name), c.Expected) << c.Key << " " << c.Name;
    EXPECT_EQ(TRegistryFile((file.parent_path() / "none.ini").string())
                      .ReadMachineString("SOFTWARE\\KORVANE\\", "KPX Program Path"),
              "");
}

TEST(RegistryFile, DoubleReplacesTheFileForTheProgram)
{
    TMemoryRegistry registry;
    registry.Set("SOFTWARE\\KORVANE\\", "KPX Program Path", "C:\\KPX");
    EXPECT_EQ(Registry().ReadMachineString("software\\korvane", "KPX PROGRAM PATH"), "C:\\KPX");
    EXPECT_EQ(Registry().ReadMachineString("SOFTWARE\\KORVANE\\", "KVGL Program Path"), "");
}

TEST(HostInfo, ComputerNameIsTheShortNameInCapitals)
{
    const String name = TSystemHostInfo().ComputerName();
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(name.find('.'), String::npos);
    for (char c : name)
        EXPECT_FALSE(c >= 'a' && c <= 'z') << name;
    TFixedHostInfo fixed("ACCT2");
    EXPECT_EQ(HostInfo().ComputerName(), "ACCT2");
}

TEST(Launcher, RunWaitsAndGivesTheExitCode)
{
    TSystemLauncher launcher;
    EXPECT_EQ(launcher.Run("sh", {"-c", "exit 3"}, true), 3);
    EXPECT_EQ(launcher.Run("no-such-program-here", {}, true), -1);
    EXPECT_EQ(launcher.Run("no-such-program-here", {}, false), -1);
}

TEST(Launcher, ArgumentsPassAsTheyStandWithoutAShell)
{
    TSystemLauncher launcher;
    const auto out = ScratchDir("args") / "args.txt";
    const String tricky = "a b; rm -rf x 'q' \"$HOME\"";
    ASSERT_EQ(launcher.Run("sh", {"-c", "printf '%s|' \"$@\" > \"$0\"", out.string(), tricky, ""}, true), 0);
    EXPECT_EQ(ReadAll(out), tricky + "||");
}

TEST(Launcher, ShellOpenStartsTheDesktopOpener)
{
    // A stand-in xdg-open first on the PATH writes down what it was asked to open.
    const auto bin = ScratchDir("bin");
    const auto out = bin / "opened.txt";
    {
        std::ofstream script(bin / "xdg-open");
        script << "#!/bin/sh\nprintf '%s' \"$1\" > '" << out.string() << "'\n";
    }
    std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
    const std::string oldPath = std::getenv("PATH");
    setenv("PATH", (bin.string() + ":" + oldPath).c_str(), 1);
    TSystemLauncher launcher;
    const bool opened = launcher.ShellOpen("https://fire.example/logon page");
    // The opener runs on its own; wait for it through a program that does wait.
    launcher.Run("sh",
                 {"-c", "i=0; while [ ! -s \"$0\" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done",
                  out.string()},
                 true);
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_TRUE(opened);
    EXPECT_EQ(ReadAll(out), "https://fire.example/logon page");
}

TEST(Calculator, RunsTheConfiguredCommandAndWaits)
{
    TRecordingLauncher launcher;
    TMemoryRegistry registry;
    SetCalculatorCommand("gnome-calculator  --mode=basic");
    EXPECT_TRUE(RunCalculator());
    ASSERT_EQ(launcher.Runs.size(), 1u);
    EXPECT_EQ(launcher.Runs[0].Program, "gnome-calculator");
    EXPECT_THAT(launcher.Runs[0].Args, ElementsAre("--mode=basic"));
    EXPECT_TRUE(launcher.Runs[0].Wait);

    SetCalculatorCommand("");
    registry.Set("SOFTWARE\\KORVANE\\", "Calculator Command", "xcalc -rpn");
    EXPECT_EQ(CalculatorCommand(), "xcalc -rpn");
    launcher.RunResult = -1;
    EXPECT_FALSE(RunCalculator());
}

TEST(Help, OpensAnExistingFileOnly)
{
    TRecordingLauncher launcher;
    const auto dir = ScratchDir("help");
    std::ofstream(dir / "DIRUZU.ZIV") << "help";
    EXPECT_TRUE(ShowDocument((dir / "diruzu.ziv").string()));
    EXPECT_FALSE(ShowDocument((dir / "status.txt").string()));
    EXPECT_THAT(launcher.Opened, ElementsAre((dir / "DIRUZU.ZIV").string()));
}

}  // namespace
