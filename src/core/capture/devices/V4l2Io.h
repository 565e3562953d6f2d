#pragma once

#include <QString>

namespace skelvin {

// The few system calls a camera's device node is read and set with. The program uses
// `SystemV4l2Io`; tests answer the same calls for a made-up camera, so everything above this
// seam runs without a camera on the machine.
class V4l2Io
{
public:
    virtual ~V4l2Io() = default;

    // Opens a device node for reading and writing without blocking. The descriptor, or the
    // negative errno (-ENOENT: no such node, -EBUSY: held by another program, ...).
    virtual int open(const QString &path) = 0;
    virtual void close(int fd) = 0;
    // 0, or the negative errno.
    virtual int ioctl(int fd, unsigned long request, void *arg) = 0;
};

} // namespace skelvin
