#pragma once

// Which kernel of a family runs: the families' kernels are an enum ordered
// from the plain one (0, which every CPU runs) to the fastest, each needing
// what the ones before it need, so the best kernel the CPU runs says which
// others it runs. Tests force a kernel to reach the paths other CPUs take.
//
// The choice is made once, from the CPU's features, on first use: a family
// keeps one KernelChoice in a function-local static.
template <typename Kernel>
class KernelChoice {
public:
    // best: the best kernel this CPU runs; preferred: the one to use unless a
    // test forces another (best, unless a kernel the CPU runs is slow on it).
    explicit KernelChoice(Kernel best) : KernelChoice(best, best) {}
    KernelChoice(Kernel best, Kernel preferred) : best_(best), preferred_(preferred) {}

    bool Supported(Kernel kernel) const
    {
        return static_cast<int>(kernel) >= 0 && static_cast<int>(kernel) <= static_cast<int>(best_);
    }
    // The kernel a test forced, else the preferred one.
    Kernel Active() const { return forced_ >= 0 ? static_cast<Kernel>(forced_) : preferred_; }
    bool Forced() const { return forced_ >= 0; }
    Kernel Preferred() const { return preferred_; }
    // False, changing nothing, for a kernel this CPU cannot run.
    bool Force(Kernel kernel)
    {
        if (!Supported(kernel)) return false;
        forced_ = static_cast<int>(kernel);
        return true;
    }
    void UseFastest() { forced_ = -1; }

private:
    Kernel best_;
    Kernel preferred_;
    int forced_ = -1;
};
