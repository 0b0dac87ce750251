// The Design Space Search window from the search command to the drawn plot, on Qt's offscreen platform:
// the window with the program's progress window, shown on the shipped default design (its show sets the
// default ranges), and per iteration the search button's command (search on one thread per core,
// progress, reading the result file back, drawing every record, the report) and the paint of the plot on
// the screen. Next to it the search alone on the same design and threads, so that the two read side by
// side.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <clocale>
#include <cstdio>
#include <memory>
#include <string>

#include "design_data.h"
#include "design_file.h"
#include "design_search.h"
#include "geometry_pass.h"
#include "optimization_form.h"
#include "ordered_workers.h"
#include "process_cpu.h"
#include "shipped_design.h"
#include "progress_form.h"
#include "startup_values.h"

namespace {

using morvell::DesignData;

std::unique_ptr<DesignData> default_design() {
  auto d = shipped_default_design();
  morvell::calc_gear_geometry(*d);
  d->tooth_proportion_mode = 2;  // as the main window's search command leaves it
  return d;
}

const char* kResultFile = "search_window_bench_optimizer.dat";

}  // namespace

static void BM_SearchWindowCommandToDrawnPlot(benchmark::State& state) {
  auto d = default_design();
  morvell::TProgressform progress;
  morvell::Toptimizationform window(*d);
  morvell::use_progress_window(window, progress);
  window.result_file = kResultFile;
  window.show();
  QApplication::processEvents();
  const auto shown = std::make_unique<DesignData>(*d);  // the design and ranges the show left
  const ProcessCpu cpu;
  for (auto _ : state) {
    *d = *shown;
    window.Button2Click();
    window.Image1->repaint();
  }
  cpu.report(state);
  std::remove(kResultFile);
  state.counters["threads"] = morvell::search_thread_count(0);
  state.SetLabel("default design, window's default ranges");
}
BENCHMARK(BM_SearchWindowCommandToDrawnPlot)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// The part of the command after the search: drawing the results it listed, the report.
static void BM_SearchWindowPlotAfterTheSearch(benchmark::State& state) {
  auto d = default_design();
  morvell::TProgressform progress;
  morvell::Toptimizationform window(*d);
  morvell::use_progress_window(window, progress);
  window.result_file = kResultFile;
  window.show();
  QApplication::processEvents();
  progress.show();
  const morvell::SearchRun run = morvell::search_design_space(*d, {}, {}, kResultFile);
  if (!run.ok()) state.SkipWithError(run.message.c_str());
  window.set_search_results(run.listed);
  const auto searched = std::make_unique<DesignData>(*d);
  for (auto _ : state) {
    *d = *searched;
    window.Set_optimizer_textboxes();
    window.Image1->repaint();
  }
  std::remove(kResultFile);
}
BENCHMARK(BM_SearchWindowPlotAfterTheSearch)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

static void BM_SearchAloneOnTheWindowsDesign(benchmark::State& state) {
  auto d = default_design();
  std::unique_ptr<DesignData> shown;
  {
    morvell::Toptimizationform window(*d);
    window.show();
    QApplication::processEvents();
    shown = std::make_unique<DesignData>(*d);
  }
  const ProcessCpu cpu;
  for (auto _ : state) {
    *d = *shown;
    const morvell::SearchRun run = morvell::search_design_space(*d, {}, {}, kResultFile);
    if (!run.ok()) state.SkipWithError(run.message.c_str());
  }
  cpu.report(state);
  std::remove(kResultFile);
  state.counters["threads"] = morvell::search_thread_count(0);
}
BENCHMARK(BM_SearchAloneOnTheWindowsDesign)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
