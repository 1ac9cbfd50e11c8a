#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...);

int PtyLineSpeed(int masterFd) {
    // On a pseudo-terminal's master the kernel answers with the slave's settings.
    struct termios2 t {};
    if (ioctl(masterFd, TCGETS2, &t) != 0) return 0;
    return static_cast<int>(t.c_ospeed);
}
