#include "MedianTableReporter.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

constexpr const char* kOurs = "vemora";

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

bool IsFixedMaskPeer(const std::string& encoder)
{
    return encoder != kOurs && encoder.size() > 6 &&
           encoder.compare(encoder.size() - 6, 6, "_mask0") == 0;
}

} // namespace

MedianTableReporter::MedianTableReporter(std::vector<std::string> workloads,
                                         std::vector<std::string> encoders)
    : workloads_(std::move(workloads)), encoders_(std::move(encoders))
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
    std::printf("\nMedian encode time in microseconds (to a module matrix):\n\n| workload |");
    for (const auto& e : encoders_) std::printf(" %s |", e.c_str());
    std::printf(" fastest peer at mask 0 / vemora |\n|---|");
    for (std::size_t i = 0; i <= encoders_.size(); ++i) std::printf("---:|");
    std::printf("\n");
    double ours40L = -1.0;
    for (const auto& w : workloads_) {
        std::printf("| %s |", w.c_str());
        double fastestPeer = -1.0;
        for (const auto& e : encoders_) {
            const double t = Median(w, e);
            if (t < 0) std::printf(" - |");
            else std::printf(" %.2f |", t);
            if (t >= 0 && IsFixedMaskPeer(e) && (fastestPeer < 0 || t < fastestPeer))
                fastestPeer = t;
        }
        const double ours = Median(w, kOurs);
        if (ours > 0 && fastestPeer > 0) std::printf(" %.2fx |\n", fastestPeer / ours);
        else std::printf(" - |\n");
        if (w.find("_40L") != std::string::npos) ours40L = ours;
    }
    const auto floor = medians_.find("floor_40L/rs_and_modules");
    if (floor != medians_.end()) {
        std::printf("\nFloor (40-L Reed-Solomon parity by log/exp tables + one pass over 31,329 "
                    "modules): %.2f us",
                    floor->second);
        if (ours40L > 0)
            std::printf("; vemora at 40-L is %.2fx the floor", ours40L / floor->second);
        std::printf("\n");
    }
}
