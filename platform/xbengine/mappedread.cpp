#include "platform/xbengine/mappedread.h"

#include <atomic>
#include <csetjmp>
#include <csignal>
#include <cstring>
#include <mutex>

namespace {

// Where a read of this thread in progress goes on a fault; none outside one.
thread_local sigjmp_buf* tRecovery = nullptr;
struct sigaction gPrevious;

void OnBusError(int signal, siginfo_t* info, void* context)
{
    if (sigjmp_buf* recovery = tRecovery) {
        tRecovery = nullptr;
        siglongjmp(*recovery, 1);
    }
    if ((gPrevious.sa_flags & SA_SIGINFO) && gPrevious.sa_sigaction) {
        gPrevious.sa_sigaction(signal, info, context);
        return;
    }
    if (!(gPrevious.sa_flags & SA_SIGINFO) && gPrevious.sa_handler != SIG_DFL &&
        gPrevious.sa_handler != SIG_IGN) {
        gPrevious.sa_handler(signal);
        return;
    }
    // The faulting access runs again on return and ends the process as it would have.
    std::signal(SIGBUS, SIG_DFL);
}

void Install()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action { };
        action.sa_sigaction = OnBusError;
        // Not blocked in the handler: the jump out of it leaves the mask as it was.
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &gPrevious);
    });
}

// Runs read, which reads the mapping; false when it faulted.
template<class Read> bool Guarded(Read&& read) noexcept
{
    Install();
    sigjmp_buf recovery;
    if (sigsetjmp(recovery, 0) != 0)
        return false;
    // The fences keep the compiler from moving the reads out of the guarded stretch.
    tRecovery = &recovery;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    read();
    std::atomic_signal_fence(std::memory_order_seq_cst);
    tRecovery = nullptr;
    return true;
}

}  // namespace

namespace mappedread {

bool Compare(const void* view, const void* bytes, std::size_t n, bool& equal) noexcept
{
    return Guarded([&] { equal = std::memcmp(view, bytes, n) == 0; });
}

bool Copy(void* to, const void* view, std::size_t n) noexcept
{
    return Guarded([&] { std::memcpy(to, view, n); });
}

}  // namespace mappedread
