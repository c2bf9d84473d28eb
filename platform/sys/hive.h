#pragma once
// One registry hive in memory, and its text form on disk.
//
// The file is meant to be read and, in a pinch, edited by hand:
//
//   PVREG 1
//   ; comment
//   [Software\Microsoft\Internet Explorer]
//   "Version"="5.50.4807.2300"
//   @="the key's default value"
//   "Count"=dword:00000010
//   "Blob"=hex:01,02,ff
//   "Path"=expand:"%HOME%\\data"
//   "Other"=hex(7):61,00,00
//
// Strings escape \\ \" \n \r \t and \xHH. A key line names the full path below the hive root
// ("[]" is the root itself); every key is listed, so empty keys survive a round trip.
// Names compare without regard to case and keep the case they were created with.

#include "platform/base/pvdefs.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pvreg {

// Limits that also bound what a damaged or hostile file can make us allocate.
constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxValueNameLength = 16383;
constexpr size_t kMaxValueSize = 1u << 20;
constexpr size_t kMaxDepth = 512;
constexpr size_t kMaxHiveFileSize = 64u << 20;

struct RegValue {
    std::string name; // empty: the key's default value
    DWORD type = 0;
    std::string data; // raw bytes; strings without their terminating zero
};

struct RegKey {
    std::string name;
    std::vector<RegValue> values; // in order of creation
    // Keyed by the upper-cased name, so iteration is the case-blind sorted order.
    std::map<std::string, std::unique_ptr<RegKey>> subkeys;
    std::unordered_map<std::string, size_t> valueIndex; // upper-cased name -> index in values

    RegKey* findSubkey(std::string_view n) const;
    RegKey* addSubkey(std::string_view n); // returns the existing one if present
    bool removeSubkey(std::string_view n);
    RegValue* findValue(std::string_view n);
    const RegValue* findValue(std::string_view n) const;
    void setValue(std::string_view n, DWORD type, std::string data);
    bool removeValue(std::string_view n);
};

// A key name is 1..255 bytes with no backslash and no control character.
bool isValidKeyName(std::string_view name);
// Splits a sub-key path on backslashes, dropping empty parts; false when a part is invalid
// or the path is too deep.
bool splitKeyPath(std::string_view path, std::vector<std::string>& parts);

// Parses the text form. On failure returns false and describes the first fault as
// "line N: ..." in *error; `root` is then left empty.
bool parseHive(std::string_view text, RegKey& root, std::string* error);
std::string serializeHive(const RegKey& root);

// The quoted-string escapes shared with the command-line tool's output.
std::string escapeString(std::string_view raw);

} // namespace pvreg
