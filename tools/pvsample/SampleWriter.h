#pragma once
// Writes a complete sample installation: the directory, custom and school-settings
// databases, the details template, home and media pages, photos, the copyright text and
// Settings.ini; and, on request, the registry values that point the viewer at them.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace pvsample {

// The program's registry key under HKEY_CURRENT_USER, and the browser's under HKEY_LOCAL_MACHINE.
extern const char kProgramKey[];
extern const char kBrowserKey[];
extern const char kBrowserVersion[];
// The school code of the one school that SchoolSettings.mdb lists.
extern const char kSchoolCode[];

struct SampleOptions {
    std::string dir;
    int people = 2000;
    uint64_t seed = 1;
};

// Where the files of an installation in one folder lie. The folders end with '/'. Paths stored
// inside the custom and school-settings databases are relative to `root` ("Data\\",
// "Media\\athletics.htm"), so the installation can be moved; the registry holds full paths.
struct SamplePaths {
    std::string root, dataPath, mediaPath, databasePath, customPath, schoolSettingsPath, webDatabasePath;
};
SamplePaths SamplePathsFor(const std::string& dir);

class SampleError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Writes the installation; the folder must not exist yet or be empty, so that an existing
// installation, with the user's notes, is never overwritten. Throws SampleError.
SamplePaths WriteSampleDirectory(const SampleOptions& options);

// Writes DatabasePath, DataPath, MediaPath and CustomPath and the browser version through the
// platform registry. Throws SampleError.
void RegisterSampleDirectory(const SamplePaths& paths);

} // namespace pvsample
