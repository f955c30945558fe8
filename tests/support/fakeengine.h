#pragma once
// A recording stand-in for the engine library, made from the engine's function
// list: every call is logged as text ("xb_Go(5)") and answers what the test
// scripted for its name (0 / null / "" otherwise). It is reached through the
// binding's loader, so LoadDLL binds it by name as it binds the real library.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

struct FakeEngine {
    std::vector<std::string> Calls;
    std::map<std::string, long long> Results;
    std::map<std::string, double> Doubles;
    std::map<std::string, std::string> Texts;
    // Names the fake library does not export.
    std::set<std::string> Missing;
    bool Loadable = true;
    int Opens = 0;
    int Closes = 0;

    // The calls logged since the last Clear.
    void Clear() { Calls.clear(); }
};

FakeEngine& Fake();

// Unloads whatever engine is bound and puts a fresh fake behind the loader.
void UseFakeEngine();
// Unloads whatever engine is bound and puts the real library behind the loader.
void UseRealEngine();

// Tests on the fake: a fresh one bound before each, the real library after.
class FakeEngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { UseRealEngine(); }
};
