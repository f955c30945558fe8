#pragma once
// Clean-up that runs however a scope is left, by its end, a return or an exception.
// The clean-up must not throw: it runs from a destructor. Where it can (it notifies
// controls, writes a file), keep the explicit try/catch, so that its error reaches
// the caller as before.

#include <utility>

// Runs the callable given once, when the guard is destroyed:
//   const ScopeExit restore([&] { RestoreState(saved); });
template<typename Cleanup> class ScopeExit {
public:
    explicit ScopeExit(Cleanup Action) : FAction(std::move(Action)) { }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() { FAction(); }

private:
    Cleanup FAction;
};

// A re-entrancy flag raised for the life of the guard and lowered when it ends:
//   if (FInUpdate) return;
//   const FlagScope inUpdate(FInUpdate);
class FlagScope {
public:
    explicit FlagScope(bool& Flag) : FFlag(Flag) { FFlag = true; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;
    ~FlagScope() { FFlag = false; }

private:
    bool& FFlag;
};
