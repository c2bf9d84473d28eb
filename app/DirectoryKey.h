#pragma once
// The directory database's password. The viewer's document, the sample-directory generator and
// the test programs take it from here, so that what one writes the others can open.

#define PV_DIRECTORY_PASSWORD "KvRtWmPnoQaz"

inline constexpr char kDirectoryPassword[] = PV_DIRECTORY_PASSWORD;
// The connect string that opens the directory database.
inline constexpr char kDirectoryConnect[] = ";PWD=" PV_DIRECTORY_PASSWORD;

// The rows of table Application whose values key the record cipher (and give the default sort).
inline const char* const kCipherKeyRows[] = {"DefaultSort1", "DefaultSort2"};
