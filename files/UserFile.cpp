#include "files/UserFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {
namespace fs = std::filesystem;

constexpr int kMaxLinkLevels = 32;  // a loop of links ends here
constexpr int kWorkFileAttempts = 16;
constexpr mode_t kPermissionBits = 07777;
constexpr mode_t kSetIdBits = S_ISUID | S_ISGID;
const char* const kNotAPlainFile = "it is not a plain file";
const char* const kWriteProtected = "the file is write-protected";

void Tell(std::string* reason, const std::string& why) {
    if (reason) *reason = why;
}

// What went wrong, as a user in the field would say it where the system's words are obscure;
// the system's own words otherwise.
std::string SystemReason(int error) {
    switch (error) {
        case ENOSPC: return "the disk is full";
        case EDQUOT: return "the disk quota is used up";
        case EROFS: return "the disk is read-only";
        case EACCES: return "permission denied";
        case EPERM: return "the operation is not permitted (the file or its folder may be locked against changes)";
        case ENAMETOOLONG: return "the name is too long for the system";
        case EIO: return "the disk could not be read or written (input/output error)";
        default: return std::generic_category().message(error);
    }
}

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

// The new file fd takes the owner, group and permissions of the file old it replaces, as far as
// the system lets this user: only root may give a file away, but a member of the file's group
// may keep the group, so that the others of a shared folder can still write it. When the owner
// or the group could not be kept, the set-id bits go, as the system clears them when another
// user writes a file: a program would otherwise run with this user's rights. 0 or the error.
int KeepOwnerAndMode(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        // Not one of the user's groups: the file stays the user's own.
    }
    struct stat now {};
    if (::fstat(fd, &now) != 0) return errno;
    mode_t mode = old.st_mode & kPermissionBits;
    if (now.st_uid != old.st_uid || now.st_gid != old.st_gid) mode &= ~kSetIdBits;
    return ::fchmod(fd, mode) != 0 ? errno : 0;
}

// The folder's entries on the disk: until they are, a power cut may undo a rename that was
// reported as done. A folder this user may not open for reading is left to the system; a file
// system that cannot sync a folder (EINVAL) keeps its entries by other means. 0 or the error.
int SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return 0;
    const int error = ::fsync(fd) != 0 && errno != EINVAL ? errno : 0;
    ::close(fd);
    return error;
}

// Opens the plain file path for reading, with its size in st; -1 (and why) when it is not one.
int OpenPlainFile(const std::string& path, struct stat& st, std::string* reason) {
    // Looked at before it is opened: opening a pipe would wait for a writer.
    if (::stat(path.c_str(), &st) != 0) {
        Tell(reason, SystemReason(errno));
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        Tell(reason, kNotAPlainFile);
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        Tell(reason, SystemReason(errno));
        return -1;
    }
    // The name may have been given to something else between the two looks.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        Tell(reason, kNotAPlainFile);
        return -1;
    }
    return fd;
}

std::string TooLargeReason(std::size_t capacity) {
    return "the file is larger than " + std::to_string(capacity) + " bytes, more than a file of its kind holds";
}

// Reads the plain file path into the buffer that bufferFor gives for its size at opening, when
// that is at most capacity bytes; got: the bytes read, which a file that shrank meanwhile ends.
template <class TBufferFor>
TReadEnd ReadPlainFile(const std::string& path, std::size_t capacity, TBufferFor bufferFor, std::size_t& got,
                       std::string* reason) {
    got = 0;
    struct stat st {};
    const int fd = OpenPlainFile(path, st, reason);
    if (fd < 0) return TReadEnd::Failed;
    const auto size = static_cast<std::uint64_t>(std::max<off_t>(st.st_size, 0));
    if (size > capacity) {
        ::close(fd);
        Tell(reason, TooLargeReason(capacity));
        return TReadEnd::TooLarge;
    }
    char* const buffer = bufferFor(static_cast<std::size_t>(size));
    int error = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, buffer + got, static_cast<std::size_t>(size) - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            break;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (error) {
        Tell(reason, SystemReason(error));
        return TReadEnd::Failed;
    }
    return TReadEnd::Read;
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
    if (!error && replacing) error = KeepOwnerAndMode(fd, old);
    // On the disk before it takes the name, so that the name never holds less than a whole file.
    if (!error && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && !error) error = errno;
    if (!error && ::rename(temp.c_str(), file.c_str()) != 0) error = errno;
    if (error) {
        ::unlink(temp.c_str());
        Tell(reason, SystemReason(error));
        return false;
    }
    if ((error = SyncFolder(path.parent_path())) != 0) {
        Tell(reason, SystemReason(error));
        return false;
    }
    return true;
}

TReadEnd ReadFileInto(const std::string& path, void* buffer, std::size_t capacity, std::size_t& got,
                      std::string* reason) {
    return ReadPlainFile(path, capacity, [buffer](std::size_t) { return static_cast<char*>(buffer); }, got, reason);
}

TReadEnd ReadFileContents(const std::string& path, std::string& data, std::size_t limit, std::string* reason) {
    std::size_t got = 0;
    const auto sized = [&data](std::size_t size) {
        data.resize(size);
        return data.data();
    };
    const TReadEnd end = ReadPlainFile(path, limit, sized, got, reason);
    data.resize(got);
    return end;
}

std::string WithReason(const std::string& message, const std::string& why) {
    if (why.empty()) return message;
    std::string line = why;
    line[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(line[0])));
    return message + "\r\n" + line;
}
