#!/bin/sh
# A longer crash run of the engine than the test suite's: the crash test's
# work appends (and rewrites and deletes) more records, stopped at each of
# its writes in shared and in exclusive mode, every stop checked through the
# engine, python3-dbfread and DBD::XBase; then the power-cut test's work
# appends as many, every cut point of its recorded writes rebuilt per file
# and per page and checked. Argument: the records to append (default 40).
# Run from the repository after a build in build/.
set -e
records=${1:-40}
XBE_CRASH_RECORDS=$records build/bin/xbengine_tests \
    --gtest_filter='*CrashSafety.EveryStoppingPointOfASharedAndAnExclusiveRunLeavesTheTableWhole'
XBE_POWERCUT_RECORDS=$records exec build/bin/xbengine_tests --gtest_filter='*PowerCut.*'
