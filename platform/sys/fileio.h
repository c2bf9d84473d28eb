#pragma once
// File helpers shared by the registry and the INI functions: bounded whole-file reads,
// atomic replacement, and a lock that serialises read-modify-write between processes.

#include <string>
#include <string_view>

namespace pvsys {

// The program writes Windows paths; the operating system wants '/'.
std::string osPath(std::string_view path);

// The path as it exists on disk, each name that has no exact match matched without regard to
// case, as on a CD where "DISCORA.INI" answers for "Discora.ini". Names that match nothing are
// kept as given (the path then does not exist).
std::string findPathNoCase(const std::string& path);

// Reads the whole file. Returns 0, or an errno value (ENOENT when missing, EFBIG when the
// file is larger than `limit`).
int readWholeFile(const std::string& path, std::string& out, size_t limit);

// Replaces `path` with `data` through a temporary file in the same folder and a rename, so
// a reader sees either the old or the new file, never a mixture. Keeps the old file's
// permission bits; a read-only file is refused (EACCES). Temporary files left by a writer that
// was killed are removed first. Returns 0 or an errno value; on failure the old file is untouched.
int writeFileAtomic(const std::string& path, std::string_view data);

// Creates the folder and its parents (mode 0700 for new ones). Returns 0 or an errno value.
int makeDirs(const std::string& path);

// An exclusive advisory lock on `path` itself, held for a read-modify-write. The file is
// created empty when missing (an empty file reads as "nothing stored"). A lock on a file
// that a rename replaced is dropped and taken again on the new one.
class FileLock {
public:
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    // 0 when held, else the errno that prevented it.
    int error() const { return m_error; }
    // True when the lock created the (empty) file; a caller that then writes nothing removes it.
    bool created() const { return m_created; }

private:
    int m_fd { -1 };
    int m_error { 0 };
    bool m_created { false };
};

} // namespace pvsys
