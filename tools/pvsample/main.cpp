// pvsample: writes a complete, made-up sample installation of the directory viewer.
//   pvsample DIR [--people N] [--seed S] [--register]

#include "tools/pvsample/SampleWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kUsage[] = "usage: pvsample DIR [--people N] [--seed S] [--register]";

bool parseNumber(const char* text, unsigned long long max, unsigned long long& value)
{
    if (!text || !*text || *text == '-')
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return errno == 0 && *end == '\0' && value <= max;
}

int usage(const char* problem)
{
    std::fprintf(stderr, "pvsample: %s\n%s\n", problem, kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    pvsample::SampleOptions options;
    bool registerValues = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        unsigned long long n = 0;
        if (arg == "--people") {
            if (i + 1 >= argc || !parseNumber(argv[++i], 10000000, n) || n < 1)
                return usage("--people needs a number from 1 to 10000000");
            options.people = int(n);
        } else if (arg == "--seed") {
            if (i + 1 >= argc || !parseNumber(argv[++i], ~0ULL, n))
                return usage("--seed needs a non-negative number");
            options.seed = n;
        } else if (arg == "--register") {
            registerValues = true;
        } else if (arg == "--help" || arg == "-h") {
            std::printf("%s\n", kUsage);
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            return usage(("unknown option " + arg).c_str());
        } else if (options.dir.empty()) {
            options.dir = arg;
        } else {
            return usage("only one folder may be given");
        }
    }
    if (options.dir.empty())
        return usage("no folder given");

    try {
        const pvsample::SamplePaths paths = pvsample::WriteSampleDirectory(options);
        if (registerValues)
            pvsample::RegisterSampleDirectory(paths);
        std::printf("pvsample: wrote %d people to %s%s\n", options.people, paths.root.c_str(),
            registerValues ? " and registered it" : "");
    } catch (const pvsample::SampleError& e) {
        std::fprintf(stderr, "pvsample: %s\n", e.what());
        return 1;
    }
    return 0;
}
