// The benchmark driver: the usual console report, then each hot path's
// cost per pixel as a multiple of its anchor's, measured in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// Hot path and the plain memory operation that bounds it.
struct Pair {
  const char* path;
  const char* anchor;
};
constexpr Pair kPairs[] = {
    {"BM_Clear", "BM_MemsetBackBuffer"},
    {"BM_Present", "BM_MemcpyBackBuffer"},
    {"BM_DrawOpaque64", "BM_MemcpyBackBuffer"},
    {"BM_DrawKeyedNoKeyPixels64", "BM_MemcpyBackBuffer"},
    {"BM_DrawKeyed64", "BM_MemcpyBackBuffer"},
    {"BM_DrawKeyed64", "BM_AnchorKeyedLoop64"},
    {"BM_DrawKeyed64Scalar", "BM_AnchorKeyedLoop64"},
    {"BM_DrawKeyed64Sse2", "BM_AnchorKeyedLoop64"},
    {"BM_DrawKeyed64Avx2", "BM_AnchorKeyedLoop64"},
    {"BM_DrawKeyed64Avx512", "BM_AnchorKeyedLoop64"},
    {"BM_DrawStrip380", "BM_MemcpyStripRows"},
    {"BM_DrawOpaqueStrip380", "BM_MemcpyStripRows"},
    {"BM_DrawTitle640", "BM_MemcpyBackBuffer"},
};

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
      const auto rate = run.counters.find("items_per_second");
      if (rate == run.counters.end() || rate->second.value <= 0) continue;
      // The best of the repetitions, as pixels per second.
      double& best = best_[run.run_name.function_name];
      if (rate->second.value > best) best = rate->second.value;
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    bool header = false;
    for (const Pair& p : kPairs) {
      const auto path = best_.find(p.path), anchor = best_.find(p.anchor);
      if (path == best_.end() || anchor == best_.end()) continue;
      if (!header) {
        std::printf("\nCost per pixel against its anchor (1.00 = as fast as the anchor):\n");
        header = true;
      }
      std::printf("  %-28s / %-22s %6.2fx\n", p.path, p.anchor, anchor->second / path->second);
    }
    std::fflush(stdout);
  }

 private:
  std::map<std::string, double> best_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
