#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Console output as usual, and at the end a table of the medians of the
// repetitions: one row per workload, one column per encoder, with the ratio of
// libqrencode at mask 0 and of the fastest peer at mask 0 to ours (kanji
// segments allowed and not), and the machine's load averages at the start and
// the end.
// Benchmarks are named "<workload>/<encoder>".
class MedianTableReporter : public benchmark::ConsoleReporter {
public:
    MedianTableReporter(std::vector<std::string> workloads, std::vector<std::string> encoders);

    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    double Median(const std::string& workload,
                  const std::string& encoder) const; // microseconds, or < 0
    void PrintTable() const;

    std::vector<std::string> workloads_;
    std::vector<std::string> encoders_;
    std::map<std::string, double> medians_; // benchmark name -> microseconds
    std::string loadAtStart_;
};
