#include "MedianTableReporter.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>

namespace {

// Ours with kanji segments allowed and not: each gets its ratio columns.
constexpr const char* kOurs[] = {"vemora_kanji", "vemora"};

double ToMicroseconds(double value, benchmark::TimeUnit unit)
{
    switch (unit) {
    case benchmark::kNanosecond:
        return value / 1000.0;
    case benchmark::kMicrosecond:
        return value;
    case benchmark::kMillisecond:
        return value * 1000.0;
    case benchmark::kSecond:
        return value * 1e6;
    }
    return value;
}

// The load averages of /proc/loadavg (1, 5, 15 minutes), or "unknown".
std::string LoadAverage()
{
    std::FILE* file = std::fopen("/proc/loadavg", "r");
    if (file == nullptr) return "unknown";
    double one = 0, five = 0, fifteen = 0;
    const int read = std::fscanf(file, "%lf %lf %lf", &one, &five, &fifteen);
    std::fclose(file);
    if (read != 3) return "unknown";
    char text[64];
    std::snprintf(text, sizeof text, "%.2f, %.2f, %.2f", one, five, fifteen);
    return text;
}

bool IsFixedMaskPeer(const std::string& encoder)
{
    return !encoder.starts_with("vemora") && encoder.ends_with("_mask0");
}

} // namespace

MedianTableReporter::MedianTableReporter(std::vector<std::string> workloads,
                                         std::vector<std::string> encoders)
    : workloads_(std::move(workloads)), encoders_(std::move(encoders)), loadAtStart_(LoadAverage())
{}

void MedianTableReporter::ReportRuns(const std::vector<Run>& runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median" ||
            run.error_occurred)
            continue;
        medians_[run.run_name.function_name] =
            ToMicroseconds(run.GetAdjustedRealTime(), run.time_unit);
    }
}

void MedianTableReporter::Finalize()
{
    ConsoleReporter::Finalize();
    PrintTable();
}

double MedianTableReporter::Median(const std::string& workload, const std::string& encoder) const
{
    const auto it = medians_.find(workload + "/" + encoder);
    return it == medians_.end() ? -1.0 : it->second;
}

void MedianTableReporter::PrintTable() const
{
    // Only the encoders that were run (a filter may leave some out).
    std::vector<std::string> shown;
    for (const auto& e : encoders_)
        for (const auto& w : workloads_)
            if (Median(w, e) >= 0) {
                shown.push_back(e);
                break;
            }
    std::printf("\nMedian encode time in microseconds (to a module matrix); load average "
                "(1, 5, 15 min) %s at the start, %s at the end:\n\n| workload |",
                loadAtStart_.c_str(), LoadAverage().c_str());
    for (const auto& e : shown) std::printf(" %s |", e.c_str());
    for (const char* ours : kOurs)
        std::printf(" qrencode_mask0 / %s | fastest peer at mask 0 / %s |", ours, ours);
    std::printf("\n|---|");
    for (std::size_t i = 0; i < shown.size() + 2 * std::size(kOurs); ++i) std::printf("---:|");
    std::printf("\n");
    for (const auto& w : workloads_) {
        std::printf("| %s |", w.c_str());
        double fastestPeer = -1.0;
        for (const auto& e : shown) {
            const double t = Median(w, e);
            if (t < 0) std::printf(" - |");
            else std::printf(" %.2f |", t);
            if (t >= 0 && IsFixedMaskPeer(e) && (fastestPeer < 0 || t < fastestPeer))
                fastestPeer = t;
        }
        const double qrencode = Median(w, "qrencode_mask0");
        for (const char* name : kOurs) {
            const double ours = Median(w, name);
            for (const double peer : {qrencode, fastestPeer}) {
                if (ours > 0 && peer > 0) std::printf(" %.2fx |", peer / ours);
                else std::printf(" - |");
            }
        }
        std::printf("\n");
    }
}
