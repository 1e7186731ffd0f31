#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

// Timing shared by the benchmarks: medians of several runs, in wall and CPU time. On the
// shared build machine CPU time is the steadier figure.

inline double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Timing
{
    double wallMs;
    double cpuMs;
};

inline Timing measure(const std::function<void()> &run, int runs)
{
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        const double cpuStart = cpuMs();
        timer.start();
        run();
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(cpuMs() - cpuStart);
    }
    return {median(wall), median(cpu)};
}
