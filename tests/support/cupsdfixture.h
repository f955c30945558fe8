#pragma once
// A cupsd of a test's own: configuration, spool and logs in a temporary directory,
// listening on a local socket only, with one queue (the default) whose device is a file.
// CUPS_SERVER points at it while it runs.

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/tempdir.h"

class PrivateCupsd {
public:
    PrivateCupsd() = default;
    ~PrivateCupsd();
    PrivateCupsd(const PrivateCupsd&) = delete;
    PrivateCupsd& operator=(const PrivateCupsd&) = delete;

    // Starts cupsd with the queue Queue printing through the PPD text Ppd; "" once
    // cupsd answers and the queue is there, otherwise why not.
    std::string Start(const std::string& Queue, const std::string& Ppd);
    // The bytes the queue's device got, once no job is left to print.
    std::string PrintedBytes();
    // The titles of the finished jobs, oldest first.
    std::vector<std::string> FinishedJobs();
    // Runs a CUPS tool to its end, its output in the log; its exit code.
    int RunTool(const std::vector<std::string>& Command);
    // What cupsd and the tools wrote.
    std::string Log() const;

private:
    TempDir FRoot;
    std::string FQueue;
    pid_t FCupsd = -1;
    std::string FSocket;
    std::string FDevice;
    std::string FLog;
};

std::string ReadWholeFile(const std::string& File);
