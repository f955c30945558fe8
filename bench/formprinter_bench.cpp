// Form pages per second: composed in PCL and written as page files, as a preview
// run of 1,000 recipients writes them, and composed alone.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/mainform.h"
#include "bench/benchsupport.h"
#include "printing/formprinter.h"

namespace {

constexpr int PagesPerRun = 1000;

// A main window with its print values only, over a scratch program directory
// holding a 40 KB overlay.
TFMain& PreviewWindow()
{
    static TFMain* window = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        auto* main = new TFMain(nullptr);
        FMain = main;
        main->ProgramDir = ScratchDir("formprinter-bench");
        main->User = new TUser();
        main->Preview = true;
        main->Copies = 2;
        std::ofstream(main->ProgramDir + "COPYB.HP", std::ios::binary)
                << std::string(40000, '\x1b') << "\x1b&alrC";
        return main;
    }();
    return *window;
}

// The boxes of a 1099 copy: payer and recipient blocks, numbers and amounts.
void PlaceCopy(FormPrinter& Printer, int Recipient)
{
    Printer.LoadOverlay("copyb.hp");
    Printer.PrintTextChoice(4, 6, "KORVANE ACCOUNTING SERVICES", "NAME1");
    Printer.PrintTextChoice(5, 6, "1200 MAIN STREET SUITE 400", "ADDRESS1");
    Printer.PrintTextChoice(6, 6, "SPRINGFIELD, IL 62701", "CITY");
    Printer.PrintTextChoice(11, 6, "36-1234567", "TAX_ID");
    Printer.PrintTextChoice(11, 24, "123-45-" + std::to_string(1000 + Recipient % 9000), "SSN");
    Printer.PrintTextChoice(14, 6, "RECIPIENT NUMBER " + std::to_string(Recipient), "NAME1");
    Printer.PrintTextChoice(17, 6, "42 ELM STREET", "ADDRESS1");
    Printer.PrintTextChoice(20, 6, "PEORIA, IL 61602", "CITY");
    for (int box = 0; box < 8; ++box)
        Printer.PrintAmount(5 + 3 * box, box % 2 ? 74 : 52, 100.25 * (box + 1) + Recipient, "TOTAMT", "#.00");
    Printer.PrintCheck(2, 40, Recipient % 7 == 0, "CORRECTED");
}

void BM_FormPagesWrittenAsPageFiles(benchmark::State& state)
{
    TFMain& main = PreviewWindow();
    FormPrinter printer;
    for (auto _ : state) {
        main.DeleteTempPrintFiles();
        for (int page = 0; page < PagesPerRun; ++page) {
            printer.StartPage();
            PlaceCopy(printer, page);
            printer.EndPage("Copy B");
        }
    }
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * PagesPerRun,
                                                   benchmark::Counter::kIsRate);
    main.DeleteTempPrintFiles();
}
BENCHMARK(BM_FormPagesWrittenAsPageFiles)->Unit(benchmark::kMillisecond);

void BM_FormPagesComposed(benchmark::State& state)
{
    PreviewWindow();
    FormPrinter printer;
    for (auto _ : state) {
        for (int page = 0; page < PagesPerRun; ++page) {
            printer.StartPage();
            PlaceCopy(printer, page);
            benchmark::DoNotOptimize(printer.PageText().data());
        }
    }
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * PagesPerRun,
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FormPagesComposed)->Unit(benchmark::kMillisecond);

}  // namespace
