#include "platform/sys/fileio.h"

#include "platform/base/textcase.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pvsys {

namespace {

std::string folderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// Temporary files are named "<file>.tmp<pid><random>"; one whose writer is gone (killed midway)
// is removed, one of a live writer left alone.
void removeStaleTemps(const std::string& path)
{
    const std::string folder = folderOf(path);
    const size_t slash = path.rfind('/');
    const std::string prefix = (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp";
    DIR* d = ::opendir(folder.c_str());
    if (!d)
        return;
    while (const dirent* e = ::readdir(d)) {
        std::string_view name(e->d_name);
        if (name.size() <= prefix.size() + 6 || name.substr(0, prefix.size()) != prefix)
            continue;
        std::string_view digits = name.substr(prefix.size(), name.size() - prefix.size() - 6);
        if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string_view::npos)
            continue;
        const pid_t pid = static_cast<pid_t>(std::stol(std::string(digits)));
        if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
            ::unlink((folder + "/" + std::string(name)).c_str());
    }
    ::closedir(d);
}

int writeAll(int fd, std::string_view data)
{
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += static_cast<size_t>(n);
    }
    return 0;
}

} // namespace

std::string osPath(std::string_view path)
{
    std::string out(path);
    for (char& c : out)
        if (c == '\\')
            c = '/';
    return out;
}

int readWholeFile(const std::string& path, std::string& out, size_t limit)
{
    out.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        int e = errno;
        ::close(fd);
        return e;
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return EISDIR;
    }
    if (st.st_size > 0 && static_cast<unsigned long long>(st.st_size) > limit) {
        ::close(fd);
        return EFBIG;
    }
    out.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    while (true) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int e = errno;
            ::close(fd);
            out.clear();
            return e;
        }
        if (n == 0)
            break;
        if (out.size() + static_cast<size_t>(n) > limit) {
            ::close(fd);
            out.clear();
            return EFBIG;
        }
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return 0;
}

std::string findPathNoCase(const std::string& path)
{
    std::string out;
    size_t pos = 0;
    if (!path.empty() && path[0] == '/') {
        out = "/";
        pos = 1;
    }
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        if (slash == std::string::npos)
            slash = path.size();
        std::string name = path.substr(pos, slash - pos);
        const std::string folder = out.empty() ? "." : out;
        struct stat st {};
        if (!name.empty() && name != "." && name != ".." && ::lstat((folder + "/" + name).c_str(), &st) != 0) {
            if (DIR* d = ::opendir(folder.c_str())) {
                while (const dirent* e = ::readdir(d)) {
                    if (PvCompareNoCase(e->d_name, name) == 0) {
                        name = e->d_name;
                        break;
                    }
                }
                ::closedir(d);
            }
        }
        out += name;
        if (slash < path.size())
            out += '/';
        pos = slash + 1;
    }
    return out;
}

int writeFileAtomic(const std::string& path, std::string_view data)
{
    std::string folder = folderOf(path);
    mode_t mode = 0644;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return EISDIR;
        mode = st.st_mode & 07777;
        // A read-only file stays as it is, even for a user the system would let write it.
        if ((mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)
            return EACCES;
    }
    removeStaleTemps(path);
    std::string tmp = path + ".tmp" + std::to_string(::getpid()) + "XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        return errno;
    int err = writeAll(fd, data);
    if (!err && ::fchmod(fd, mode) != 0)
        err = errno;
    if (!err && ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && !err)
        err = errno;
    if (!err && ::rename(tmp.c_str(), path.c_str()) != 0)
        err = errno;
    if (err) {
        ::unlink(tmp.c_str());
        return err;
    }
    // The rename itself must survive a crash too.
    int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return 0;
}

int makeDirs(const std::string& path)
{
    if (path.empty())
        return ENOENT;
    std::string cur;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        if (slash == std::string::npos)
            slash = path.size();
        cur = path.substr(0, slash);
        pos = slash + 1;
        if (cur.empty())
            continue;
        if (::mkdir(cur.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

FileLock::FileLock(const std::string& path)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        bool created = false;
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            created = fd >= 0;
            if (fd < 0 && errno == EEXIST)
                continue;
        }
        if (fd < 0) {
            m_error = errno;
            return;
        }
        while (::flock(fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                m_error = errno;
                ::close(fd);
                return;
            }
        }
        struct stat held {}, now {};
        if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &now) == 0 && held.st_ino == now.st_ino
            && held.st_dev == now.st_dev) {
            m_fd = fd;
            m_created = created;
            return;
        }
        ::close(fd); // replaced while we waited: lock the new file instead
    }
    m_error = EAGAIN;
}

FileLock::~FileLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace pvsys
