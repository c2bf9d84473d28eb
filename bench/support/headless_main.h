// The main of a benchmark that opens windows: the headless desktop (of the given size, unless the
// caller's environment names one) is chosen before anything is registered.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>

inline int PvBenchMain(int argc, char** argv, const char* screen = nullptr)
{
    setenv("PV_BACKEND", "headless", 1);
    if (screen)
        setenv("PV_SCREEN", screen, 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
