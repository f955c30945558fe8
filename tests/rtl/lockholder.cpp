// Test helper: holds a file open as a table open does (a read lock on the
// open-mode byte), prints "ready", and keeps it until its input ends.

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/rtl/sharelocks.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    int fd = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::perror(argv[1]);
        return 1;
    }
    sharelocks::OfdLock lock;
    if (!lock.TryAcquire(fd, sharelocks::OpenModeOffset, sharelocks::LockKind::Shared)) {
        std::fprintf(stderr, "%s: in use\n", argv[1]);
        return 1;
    }
    std::cout << "ready" << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) { }
    return 0;
}
