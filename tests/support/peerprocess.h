#pragma once
// The second process of the sharing tests (xbe_peer), with a pipe to its
// input and one from its output.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

// The helper process with a pipe to its input and one from its output.
class Peer {
public:
    explicit Peer(std::vector<std::string> args)
    {
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
            std::abort();
        FPid = fork();
        if (FPid == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            close(in[1]);
            close(out[0]);
            std::vector<char*> argv {const_cast<char*>(XBE_PEER_PATH)};
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(XBE_PEER_PATH, argv.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        FInput = in[1];
        FOutput = fdopen(out[0], "r");
    }
    ~Peer()
    {
        Release();
        // After a failure the peer may wait for a lock that is never given: it is
        // stopped, so the failure is reported instead of the test hanging.
        if (::testing::Test::HasFailure() && FPid > 0)
            kill(FPid, SIGKILL);
        Wait();
        if (FOutput)
            fclose(FOutput);
    }
    // The first line the peer prints: "ready" or "failed <code> ...".
    std::string Line()
    {
        char buffer[512] = "";
        if (!fgets(buffer, sizeof buffer, FOutput))
            return "no answer";
        std::string line = buffer;
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        return line;
    }
    void Send(const std::string& line)
    {
        std::string text = line + "\n";
        if (write(FInput, text.data(), text.size()) != ssize_t(text.size()))
            std::abort();
    }
    void Release()
    {
        if (FInput >= 0)
            close(FInput);
        FInput = -1;
    }
    int Wait()
    {
        if (FPid > 0) {
            waitpid(FPid, &FStatus, 0);
            FPid = -1;
        }
        return WIFEXITED(FStatus) ? WEXITSTATUS(FStatus) : -1;
    }

private:
    pid_t FPid = -1;
    int FInput = -1;
    FILE* FOutput = nullptr;
    int FStatus = 0;
};
