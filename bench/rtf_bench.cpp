// Rich text read and written, in MB per second of RTF: a generated document of about
// 5 MB with formats, lists, tables, fields and text in several code pages.

#include <benchmark/benchmark.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

#include "platform/richedit/richedit.h"
#include "platform/richedit/rtfreader.h"
#include "platform/richedit/rtfwriter.h"
#include "platform/vcl/qt/qapp.h"
#include "tests/richedit/rtfgenerator.h"

namespace {

// Letters and memos: paragraphs of words, some bold, italic or in another font size.
const QByteArray& FiveMegabytesOfText()
{
    static const QByteArray rtf = [] {
        static const char* const words[] = {"payment", "recipient", "form",   "amount", "office", "total",
                                            "client",  "filing",    "record", "number", "memo",   "year"};
        std::mt19937 random(1099);
        QByteArray bytes = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n";
        while (bytes.size() < 5'000'000) {
            bytes += "\\pard\\sa120 ";
            for (int run = 0; run < 8; ++run) {
                const char* format = run % 4 == 1 ? "{\\b " : run % 4 == 3 ? "{\\i\\fs20 " : "{";
                bytes += format;
                for (int word = 0; word < 6; ++word)
                    bytes += QByteArray(words[random() % 12]) + ' ';
                bytes += '}';
            }
            bytes += "\\par\r\n";
        }
        return bytes + '}';
    }();
    return rtf;
}

const QByteArray& FiveMegabytes()
{
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

void Read(benchmark::State& State, const QByteArray& Rtf)
{
    const QByteArray& rtf = Rtf;
    for (auto _ : State) {
        // As the rich edit loads a document: with no undo.
        QTextDocument document;
        document.setUndoRedoEnabled(false);
        QTextCursor cursor(&document);
        rtf::ReadRtf(rtf, cursor);
        benchmark::DoNotOptimize(document.characterCount());
    }
    State.SetBytesProcessed(State.iterations() * rtf.size());
    State.counters["MB"] = static_cast<double>(rtf.size()) / 1e6;
}

void ReadRtf(benchmark::State& State) { Read(State, FiveMegabytes()); }
BENCHMARK(ReadRtf)->Unit(benchmark::kMillisecond)->MinTime(2);

void ReadRtfText(benchmark::State& State)
{
    FiveMegabytes();  // the application object
    Read(State, FiveMegabytesOfText());
}
BENCHMARK(ReadRtfText)->Unit(benchmark::kMillisecond)->MinTime(2);

// What the user waits for: the document loaded into a shown rich edit and its first screen
// painted. Each load replaces the document the one before put there.
void LoadAndShowRtf(benchmark::State& State)
{
    const QByteArray& rtf = FiveMegabytes();
    const String data(rtf.constData(), static_cast<size_t>(rtf.size()));
    TCustomRichEdit edit(nullptr);
    auto* widget = static_cast<QTextEdit*>(edit.Widget());
    widget->resize(640, 480);
    widget->show();
    for (auto _ : State) {
        edit.LoadContents(data);
        benchmark::DoNotOptimize(widget->grab().cacheKey());
    }
    State.SetBytesProcessed(State.iterations() * rtf.size());
}
BENCHMARK(LoadAndShowRtf)->Unit(benchmark::kMillisecond)->MinTime(2);

// The generated document's paragraphs and runs as read, with their formats (tables and
// lists made plain paragraphs).
struct Paragraph {
    QTextBlockFormat Format;
    std::vector<std::pair<QString, QTextCharFormat>> Runs;
};

const std::vector<Paragraph>& ParagraphsRead()
{
    static const std::vector<Paragraph> paragraphs = [] {
        std::vector<Paragraph> read;
        QTextDocument document;
        QTextCursor cursor(&document);
        rtf::ReadRtf(FiveMegabytes(), cursor);
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            Paragraph& paragraph = read.emplace_back();
            paragraph.Format = block.blockFormat();
            paragraph.Format.clearProperty(QTextFormat::ObjectIndex);
            for (auto run = block.begin(); !run.atEnd(); ++run)
                paragraph.Runs.emplace_back(run.fragment().text(), run.fragment().charFormat());
        }
        return read;
    }();
    return paragraphs;
}

// What Qt alone costs for the generated document: its paragraphs and runs, with their
// formats, put into a new document through a cursor with no RTF to read. A reader that
// builds a QTextDocument reads no faster than this.
void BuildReadDocument(benchmark::State& State)
{
    const QByteArray& rtf = FiveMegabytes();
    const std::vector<Paragraph>& paragraphs = ParagraphsRead();
    for (auto _ : State) {
        QTextDocument document;
        document.setUndoRedoEnabled(false);
        QTextCursor cursor(&document);
        cursor.beginEditBlock();
        cursor.setBlockFormat(paragraphs.front().Format);
        for (const Paragraph& paragraph : paragraphs) {
            if (&paragraph != &paragraphs.front())
                cursor.insertBlock(paragraph.Format);
            for (const auto& [text, format] : paragraph.Runs)
                cursor.insertText(text, format);
        }
        cursor.endEditBlock();
        benchmark::DoNotOptimize(document.characterCount());
    }
    State.SetBytesProcessed(State.iterations() * rtf.size());
}
BENCHMARK(BuildReadDocument)->Unit(benchmark::kMillisecond)->MinTime(2);

// Less still: the same text and paragraph breaks in one insertion, with no formats. What
// Qt's document costs for its paragraphs alone.
void BuildPlainDocument(benchmark::State& State)
{
    const QByteArray& rtf = FiveMegabytes();
    QString text;
    for (const Paragraph& paragraph : ParagraphsRead()) {
        if (&paragraph != &ParagraphsRead().front())
            text += QChar::ParagraphSeparator;
        for (const auto& run : paragraph.Runs)
            text += run.first;
    }
    for (auto _ : State) {
        QTextDocument document;
        document.setUndoRedoEnabled(false);
        QTextCursor(&document).insertText(text);
        benchmark::DoNotOptimize(document.characterCount());
    }
    State.SetBytesProcessed(State.iterations() * rtf.size());
}
BENCHMARK(BuildPlainDocument)->Unit(benchmark::kMillisecond)->MinTime(2);

void Write(benchmark::State& State, const QByteArray& Rtf)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    rtf::ReadRtf(Rtf, cursor);
    qint64 written = 0;
    for (auto _ : State) {
        const QByteArray rtf = rtf::WriteRtf(document);
        written += rtf.size();
        benchmark::DoNotOptimize(rtf.data());
    }
    State.SetBytesProcessed(written);
}

void WriteRtf(benchmark::State& State) { Write(State, FiveMegabytes()); }
BENCHMARK(WriteRtf)->Unit(benchmark::kMillisecond)->MinTime(2);

void WriteRtfText(benchmark::State& State)
{
    FiveMegabytes();  // the application object
    Write(State, FiveMegabytesOfText());
}
BENCHMARK(WriteRtfText)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace
