#pragma once
// Files that misbehave, for the tests of what reads and writes the user's files: a named pipe
// that never makes a reader wait, a disk that fills up, and a file's permission bits.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <utility>

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
