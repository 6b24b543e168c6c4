// Encodes the same workloads with Vemora's encoder and with the QR encoders
// Debian ships (libqrencode, Nayuki's qrcodegen, ZXing-cpp's writer), side by
// side in one run, and prints a table of medians.
//
// Every timed call goes from message bytes to a finished module matrix. Ours
// runs twice, with kanji segments allowed (vemora_kanji) and not (vemora), and
// never evaluates masks, so the peers are timed with mask 0 fixed and, beside
// that, with their own automatic mask choice. Before any timing, every
// encoder's symbol of every workload is read back with ZXing-cpp and must give
// the message bytes exactly; a failing encoder is reported and not timed.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "BenchWorkload.h"
#include "MedianTableReporter.h"
#include "PeerEncoders.h"
#include "SymbolReader.h"
#include "clsQRCode.h"

namespace {

// The machine this runs on is often shared: many short repetitions, run in
// random order across all benchmarks (see main), spread any load that comes
// and goes over every encoder alike, and the table takes their medians.
constexpr int kRepetitions = 9;
constexpr double kMinTimeSeconds = 0.1;

// Ours, held for the whole run the way the main window holds its encoder,
// with kanji segments allowed (the encoder's default, and the window's for
// ANSI text on a Japanese system) or not (elsewhere), as kanji says; the
// kanji workload always allows them.
int EncodeWithVemora(clsQRCode& coder, const BenchWorkload& w, bool kanji, ModuleGrid* grid)
{
    coder.SetKanjiAllowed(kanji || w.kind == BenchWorkload::Kind::Kanji);
    const auto matrix =
        coder.EncodeMatrix(w.bytes.data(), static_cast<int>(w.bytes.size()), w.version, w.level, 0);
    if (!matrix) return 0;
    if (grid != nullptr) {
        grid->size = matrix->Size();
        grid->dark.resize(static_cast<std::size_t>(grid->size) * grid->size);
        for (int r = 0; r < grid->size; ++r)
            for (int c = 0; c < grid->size; ++c)
                grid->dark[static_cast<std::size_t>(r) * grid->size + c] = matrix->IsDark(r, c);
    }
    return matrix->Size();
}

struct Contender {
    std::string name;
    std::function<int(const BenchWorkload&, ModuleGrid*)> encode;
};

// The mask pattern a symbol's format information names (ISO/IEC 18004, 7.9):
// the mask bits are format bits 12..10, at (8, 2), (8, 3) and (8, 4) in the
// first copy, under the fixed XOR pattern 101010000010010.
int FormatMask(const ModuleGrid& grid)
{
    const auto at = [&](int row, int column) {
        return grid.dark[static_cast<std::size_t>(row) * grid.size + column];
    };
    return ((at(8, 2) << 2) | (at(8, 3) << 1) | at(8, 4)) ^ ((0x5412 >> 10) & 7);
}

// Empty when the encoder's symbol reads back to the message, else why not.
std::string Check(const Contender& contender, const BenchWorkload& w, int expectedSize)
{
    ModuleGrid grid;
    if (contender.encode(w, &grid) == 0) return "made no symbol";
    const auto bytes = ReadSymbolBytes(grid.dark.data(), grid.size, grid.size, 3);
    if (!bytes) return "symbol not readable by ZXing";
    if (*bytes != w.bytes) return "symbol reads back to other bytes";
    const bool fixedMask = contender.name.starts_with("vemora") || contender.name.ends_with("_mask0");
    if (fixedMask && FormatMask(grid) != 0)
        return "symbol has mask " + std::to_string(FormatMask(grid)) + ", not 0";
    // A different size is no fault: ours drops the terminator when only the
    // terminator does not fit (ISO/IEC 18004, 7.4.9), a peer that keeps it
    // whole may need the next version.
    if (grid.size != expectedSize)
        std::fprintf(stderr, "note: %s/%s makes %d modules per side, vemora %d\n", w.name.c_str(),
                     contender.name.c_str(), grid.size, expectedSize);
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    // Random interleaving by default; a later flag on the command line wins.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

    static const std::vector<BenchWorkload> workloads = MakeBenchWorkloads();
    static clsQRCode ours;
    static const std::vector<Contender> contenders = {
        {"vemora_kanji",
         [](const BenchWorkload& w, ModuleGrid* g) { return EncodeWithVemora(ours, w, true, g); }},
        {"vemora",
         [](const BenchWorkload& w, ModuleGrid* g) { return EncodeWithVemora(ours, w, false, g); }},
        {"qrencode_mask0",
         [](const BenchWorkload& w, ModuleGrid* g) { return EncodeWithQrencode(w, true, g); }},
        {"qrencode_auto",
         [](const BenchWorkload& w, ModuleGrid* g) { return EncodeWithQrencode(w, false, g); }},
        {"qrcodegen_mask0",
         [](const BenchWorkload& w, ModuleGrid* g) { return EncodeWithQrcodegen(w, true, g); }},
        {"qrcodegen_auto",
         [](const BenchWorkload& w, ModuleGrid* g) { return EncodeWithQrcodegen(w, false, g); }},
        {"zxing_mask0",
         [](const BenchWorkload& w, ModuleGrid* g) { return EncodeWithZXing(w, true, g); }},
        {"zxing_auto",
         [](const BenchWorkload& w, ModuleGrid* g) { return EncodeWithZXing(w, false, g); }},
    };

    std::vector<std::string> workloadNames;
    std::vector<std::string> encoderNames;
    for (const auto& c : contenders) encoderNames.push_back(c.name);
    bool allRead = true;
    for (const auto& w : workloads) {
        workloadNames.push_back(w.name);
        ModuleGrid reference;
        const int oursSize = EncodeWithVemora(ours, w, false, &reference);
        for (const auto& c : contenders) {
            const std::string problem = Check(c, w, oursSize);
            const std::string name = w.name + "/" + c.name;
            if (!problem.empty()) {
                std::fprintf(stderr, "%s: %s\n", name.c_str(), problem.c_str());
                allRead = false;
            }
            benchmark::RegisterBenchmark(name.c_str(),
                                         [&c, &w, problem](benchmark::State& state) {
                                             if (!problem.empty()) {
                                                 state.SkipWithError(problem.c_str());
                                                 return;
                                             }
                                             for (auto _ : state)
                                                 benchmark::DoNotOptimize(c.encode(w, nullptr));
                                         })
                ->Unit(benchmark::kMicrosecond)
                ->Repetitions(kRepetitions)
                ->MinTime(kMinTimeSeconds)
                ->ReportAggregatesOnly(true);
        }
    }

    MedianTableReporter reporter(workloadNames, encoderNames);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return allRead ? 0 : 2;
}
