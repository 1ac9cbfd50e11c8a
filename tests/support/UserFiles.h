#pragma once
// Files that misbehave, for the tests of what reads and writes the user's files: a named pipe
// that never makes a reader wait, a disk that fills up, and a file's permission bits; and a
// child process that writes as another user or on a small disk of its own.
#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Runs work in a child process, set up first by setUp, and gives back the text work returns;
// nothing when setUp could not make the child what the test needs (the system lets no process
// do it, or the tests do not run as root): the caller then skips. A child that ends otherwise
// than by returning says so in the text. What the child changes of the process (its user, its
// view of the file systems) ends with it.
inline std::optional<std::string> InChild(const std::function<bool()>& setUp,
                                          const std::function<std::string()>& work) {
    constexpr int kNotSetUp = 3;
    int out[2];
    if (::pipe(out) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        ::close(out[0]);
        if (!setUp()) ::_exit(kNotSetUp);
        const std::string text = work();
        for (std::size_t sent = 0; sent < text.size();) {
            const ssize_t n = ::write(out[1], text.data() + sent, text.size() - sent);
            if (n <= 0) ::_exit(1);
            sent += std::size_t(n);
        }
        ::_exit(0);
    }
    ::close(out[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        text.append(buffer, std::size_t(n));
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kNotSetUp) return std::nullopt;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return text + " (the child ended abnormally)";
    return text;
}

// Set-ups for InChild.
// The child sees a file system of its own on folder, of bytes bytes, read-only when asked.
inline bool OwnDisk(const std::string& folder, std::size_t bytes, bool readOnly) {
    if (::unshare(CLONE_NEWNS) != 0) return false;
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
    const std::string options = "size=" + std::to_string(bytes);
    return ::mount("tmpfs", folder.c_str(), "tmpfs", readOnly ? MS_RDONLY : 0, options.c_str()) == 0;
}
// The child runs as user, in group and the supplementary groups.
inline bool AsUser(uid_t user, gid_t group, const std::vector<gid_t>& groups) {
    return ::setgroups(groups.size(), groups.data()) == 0 && ::setgid(group) == 0 && ::setuid(user) == 0;
}

// A named pipe at path whose writing end a child process waits to open. A reader that opens the
// pipe (as no reader should) finds its end at once, since the child then writes nothing and
// closes: a test of such a reader ends with a wrong result instead of waiting for ever. A reader
// that refuses the pipe never opens it, and the child waits until the pipe is released.
class TPipeFile {
public:
    explicit TPipeFile(std::string path) : Path(std::move(path)) {
        if (::mkfifo(Path.c_str(), 0644) != 0) return;
        Child = ::fork();
        if (Child == 0) {
            const int fd = ::open(Path.c_str(), O_WRONLY);
            if (fd >= 0) ::close(fd);
            ::_exit(0);
        }
    }
    ~TPipeFile() { Release(); }
    TPipeFile(const TPipeFile&) = delete;
    TPipeFile& operator=(const TPipeFile&) = delete;

    bool Made() const { return Child > 0; }
    // Lets the child's open end (the reading end is opened here without waiting, and held until
    // the child is gone, so that its open finds it whenever it comes).
    void Release() {
        if (Child <= 0) return;
        const int fd = ::open(Path.c_str(), O_RDONLY | O_NONBLOCK);
        int status = 0;
        ::waitpid(Child, &status, 0);
        if (fd >= 0) ::close(fd);
        Child = -1;
    }

    const std::string Path;

private:
    pid_t Child = -1;
};

// While one lives, no file may grow beyond bytes: a write past it fails as on a full disk.
class TFullDisk {
public:
    explicit TFullDisk(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &Before);
        rlimit limit = Before;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        // The write then fails with EFBIG instead of ending the process.
        Handler = ::signal(SIGXFSZ, SIG_IGN);
    }
    ~TFullDisk() {
        ::setrlimit(RLIMIT_FSIZE, &Before);
        ::signal(SIGXFSZ, Handler);
    }
    TFullDisk(const TFullDisk&) = delete;
    TFullDisk& operator=(const TFullDisk&) = delete;

private:
    rlimit Before{};
    sighandler_t Handler = SIG_DFL;
};

// The permission bits of path (links followed); 0 when it names nothing.
inline mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}
