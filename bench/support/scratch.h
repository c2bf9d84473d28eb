// Scratch files of a benchmark run: one temporary folder per process, removed at exit.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include <stdlib.h>

inline std::string BenchScratchDir()
{
    static char dir[] = "/tmp/pvbenchXXXXXX"; // no destructor: still there when the exit handler runs
    static const bool made = [] {
        if (!mkdtemp(dir))
            std::abort();
        std::atexit([] { std::filesystem::remove_all(dir); });
        return true;
    }();
    (void)made;
    return dir;
}
