#include "files/UserFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {
namespace fs = std::filesystem;

constexpr int kMaxLinkLevels = 32;  // a loop of links ends here
constexpr std::size_t kReadChunk = 65536;
constexpr int kWorkFileAttempts = 16;
constexpr mode_t kPermissionBits = 07777;
const char* const kNotAPlainFile = "it is not a plain file";
const char* const kWriteProtected = "the file is write-protected";

void Tell(std::string* reason, const std::string& why) {
    if (reason) *reason = why;
}

std::string SystemReason(int error) { return std::generic_category().message(error); }

// The file path names once its symbolic links are followed, whether that file exists yet or not.
bool FollowLinks(const std::string& path, std::string& file, std::string* reason) {
    fs::path p = path;
    for (int level = 0;; ++level) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            file = p.string();
            return true;
        }
        std::error_code ec;
        const fs::path next = fs::read_symlink(p, ec);
        if (level == kMaxLinkLevels || ec) {
            Tell(reason, SystemReason(ec ? ec.value() : ELOOP));
            return false;
        }
        p = p.parent_path() / next;  // an absolute next replaces the folder
    }
}

bool InGroup(gid_t group) {
    if (::getegid() == group) return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

// Writes all of data to fd; 0 or the system's error.
int WriteAll(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}
}  // namespace

bool WriteProtected(const TWriteAccess& a) {
    if (a.User == 0) return (a.Mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    if (a.User == a.FileOwner) return (a.Mode & S_IWUSR) == 0;
    if (a.InFileGroup) return (a.Mode & S_IWGRP) == 0;
    return (a.Mode & S_IWOTH) == 0;
}

bool ReplaceFileContents(const std::string& target, const void* data, std::size_t size, std::string* reason) {
    std::string file;
    if (!FollowLinks(target, file, reason)) return false;
    const fs::path path(file);
    if (path.filename().empty()) {
        Tell(reason, SystemReason(EISDIR));
        return false;
    }
    // Judged before anything is written: what the user protected stays as it is.
    struct stat old {};
    bool replacing = false;
    if (::stat(file.c_str(), &old) == 0) {
        if (!S_ISREG(old.st_mode)) {
            Tell(reason, kNotAPlainFile);
            return false;
        }
        if (WriteProtected({::geteuid(), InGroup(old.st_gid), old.st_mode, old.st_uid})) {
            Tell(reason, kWriteProtected);
            return false;
        }
        replacing = true;
    } else if (errno != ENOENT) {
        Tell(reason, SystemReason(errno));
        return false;
    }

    static std::atomic<unsigned> serial{0};
    std::string temp;
    int fd = -1;
    int error = 0;
    for (int attempt = 0; attempt < kWorkFileAttempts && fd < 0; ++attempt) {
        temp = (path.parent_path() / ("." + path.filename().string() + "." + std::to_string(::getpid()) + "-" +
                                      std::to_string(serial++) + ".part"))
                   .string();
        // Private until it has the permissions of the file it replaces.
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : 0666);
        error = fd < 0 ? errno : 0;
        if (fd < 0 && error != EEXIST) break;
    }
    if (fd < 0) {
        Tell(reason, SystemReason(error));
        return false;
    }
    error = WriteAll(fd, data, size);
    if (!error && replacing) {
        // The owner first: a change of owner clears the set-id bits that the mode then restores.
        // Only root may give a file away; anyone else keeps it as made.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        }
        if (::fchmod(fd, old.st_mode & kPermissionBits) != 0) error = errno;
    }
    // On the disk before it takes the name, so that the name never holds less than a whole file.
    if (!error && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && !error) error = errno;
    if (!error && ::rename(temp.c_str(), file.c_str()) != 0) error = errno;
    if (error) {
        ::unlink(temp.c_str());
        Tell(reason, SystemReason(error));
        return false;
    }
    return true;
}

bool ReadFileContents(const std::string& path, std::string& data, std::size_t limit, std::string* reason) {
    // Looked at before it is opened: opening a pipe would wait for a writer.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        Tell(reason, SystemReason(errno));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        Tell(reason, kNotAPlainFile);
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        Tell(reason, SystemReason(errno));
        return false;
    }
    // The name may have been given to something else between the two looks.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        Tell(reason, kNotAPlainFile);
        return false;
    }
    data.clear();
    data.reserve(std::min(limit, static_cast<std::size_t>(std::max<off_t>(st.st_size, 0))));
    std::vector<char> chunk(kReadChunk);
    int error = 0;
    while (data.size() < limit) {
        const ssize_t n = ::read(fd, chunk.data(), std::min(chunk.size(), limit - data.size()));
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            break;
        }
        if (n == 0) break;
        data.append(chunk.data(), static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (error) {
        Tell(reason, SystemReason(error));
        return false;
    }
    return true;
}
