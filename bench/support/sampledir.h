// Sample installations of the directory, written once per size and run.
#pragma once

#include "bench/support/scratch.h"
#include "tools/pvsample/SampleWriter.h"

#include <map>
#include <string>

inline const pvsample::SamplePaths& BenchSampleDirectory(int people)
{
    static std::map<int, pvsample::SamplePaths> installations;
    auto it = installations.find(people);
    if (it != installations.end())
        return it->second;
    pvsample::SampleOptions options;
    options.dir = BenchScratchDir() + "/sample" + std::to_string(people);
    options.people = people;
    return installations[people] = pvsample::WriteSampleDirectory(options);
}
