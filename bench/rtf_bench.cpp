// Rich text read and written, in MB per second of RTF: a generated document of about
// 5 MB with formats, lists, tables, fields and text in several code pages.

#include <benchmark/benchmark.h>

#include <QTextCursor>
#include <QTextDocument>

#include <cstdlib>
#include <random>

#include "platform/richedit/rtfreader.h"
#include "platform/richedit/rtfwriter.h"
#include "platform/vcl/qapp.h"
#include "tests/richedit/rtfgenerator.h"

namespace {

const QByteArray& FiveMegabytes() {
    static const QByteArray rtf = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        EnsureQApplication();
        std::mt19937 random(58);
        QByteArray bytes = rtftest::GeneratedRtf(random, 100);
        const int paragraphs = static_cast<int>(100LL * 5'000'000 / bytes.size());
        return rtftest::GeneratedRtf(random, paragraphs);
    }();
    return rtf;
}

void ReadRtf(benchmark::State& State) {
    const QByteArray& rtf = FiveMegabytes();
    for (auto _ : State) {
        QTextDocument document;
        QTextCursor cursor(&document);
        rtf::ReadRtf(rtf, cursor);
        benchmark::DoNotOptimize(document.characterCount());
    }
    State.SetBytesProcessed(State.iterations() * rtf.size());
    State.counters["MB"] = static_cast<double>(rtf.size()) / 1e6;
}
BENCHMARK(ReadRtf)->Unit(benchmark::kMillisecond)->MinTime(2);

void WriteRtf(benchmark::State& State) {
    QTextDocument document;
    QTextCursor cursor(&document);
    rtf::ReadRtf(FiveMegabytes(), cursor);
    qint64 written = 0;
    for (auto _ : State) {
        const QByteArray rtf = rtf::WriteRtf(document);
        written += rtf.size();
        benchmark::DoNotOptimize(rtf.data());
    }
    State.SetBytesProcessed(written);
}
BENCHMARK(WriteRtf)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace
