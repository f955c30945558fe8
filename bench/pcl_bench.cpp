// PCL page rendering speed: a form page (overlay of rules, shading and captions,
// then the data) interpreted into its display list, and rendered to a bitmap at
// screen (96) and printer (300) resolution. Reports pages per second.

#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/pcl/interpreter.h"
#include "platform/pcl/pagepainter.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/qt/qapp.h"
#include "tests/support/pclfixture.h"

namespace {

void Interpret(benchmark::State& state)
{
    const std::string page = pcltest::SampleFormPage();
    for (auto _ : state)
        benchmark::DoNotOptimize(pcl::Interpret(page));
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * std::int64_t(page.size()));
}
BENCHMARK(Interpret);

void Render(benchmark::State& state)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    EnsureQApplication();
    const std::string page = pcltest::SampleFormPage();
    const int dpi = int(state.range(0));
    for (auto _ : state) {
        auto pages = pcl::Interpret(page);
        benchmark::DoNotOptimize(pcl::RenderPage(pages.front(), dpi));
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("pages at " + std::to_string(dpi) + " dpi");
}
BENCHMARK(Render)->Arg(96)->Arg(300)->Unit(benchmark::kMillisecond);

}  // namespace
