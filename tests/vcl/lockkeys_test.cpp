// The Caps Lock and Num Lock state as a real X server (a private Xvfb) reports it, and
// nothing reported where the window system is not X.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/vcl/forms/lockkeys.h"
#include "platform/vcl/qt/qapp.h"

// The X headers come last: their macros would break the others.
#include <X11/XKBlib.h>

extern char** environ;

namespace {

// An Xvfb of its own on the first free display, stopped at the end.
class PrivateXServer {
public:
    PrivateXServer()
    {
        int ends[2];
        if (pipe(ends) != 0)
            return;
        const std::string fd = std::to_string(ends[1]);
        const char* argv[] = {"/usr/bin/Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, ends[0]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&FPid, argv[0], &actions, nullptr, const_cast<char**>(argv), environ) != 0)
            FPid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(ends[1]);
        std::string number;
        char c;
        while (FPid > 0 && read(ends[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(ends[0]);
        if (!number.empty())
            FDisplay = XOpenDisplay((":" + number).c_str());
    }
    ~PrivateXServer()
    {
        if (FDisplay)
            XCloseDisplay(FDisplay);
        if (FPid > 0) {
            kill(FPid, SIGTERM);
            waitpid(FPid, nullptr, 0);
        }
    }
    Display* X() const { return FDisplay; }

private:
    pid_t FPid = -1;
    Display* FDisplay = nullptr;
};

TEST(LockKeys, AnXServerReportsCapsLockAndNumLockAsTheyAreLocked)
{
    PrivateXServer server;
    ASSERT_NE(server.X(), nullptr) << "Xvfb did not start";
    TLockKeyState keys = XServerLockKeys(server.X());
    EXPECT_TRUE(keys.Known);
    EXPECT_FALSE(keys.CapsLock || keys.NumLock);
    // Num Lock is the second modifier on the server's standard keyboard map.
    XkbLockModifiers(server.X(), XkbUseCoreKbd, LockMask | Mod2Mask, LockMask);
    XSync(server.X(), False);
    keys = XServerLockKeys(server.X());
    EXPECT_TRUE(keys.CapsLock);
    EXPECT_FALSE(keys.NumLock);
    XkbLockModifiers(server.X(), XkbUseCoreKbd, LockMask | Mod2Mask, Mod2Mask);
    XSync(server.X(), False);
    keys = XServerLockKeys(server.X());
    EXPECT_FALSE(keys.CapsLock);
    EXPECT_TRUE(keys.NumLock);
}

TEST(LockKeys, WithoutAnXServerNothingIsReported)
{
    EnsureQApplication();
    const TLockKeyState keys = LockKeys().State();
    EXPECT_FALSE(keys.Known) << "the tests run offscreen";
    EXPECT_FALSE(keys.CapsLock || keys.NumLock);
}

}  // namespace
