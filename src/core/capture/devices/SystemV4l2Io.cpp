#include "core/capture/devices/SystemV4l2Io.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace skelvin {

int SystemV4l2Io::open(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(name.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd < 0 ? -errno : fd;
}

void SystemV4l2Io::close(int fd)
{
    // Not repeated on EINTR: on Linux the descriptor is released whatever close says.
    if (fd >= 0)
        ::close(fd);
}

int SystemV4l2Io::ioctl(int fd, unsigned long request, void *arg)
{
    int result;
    do {
        result = ::ioctl(fd, request, arg);
    } while (result < 0 && errno == EINTR);
    return result < 0 ? -errno : 0;
}

} // namespace skelvin
