#pragma once

#include "core/capture/devices/V4l2Io.h"

namespace skelvin {

// The device node calls on the machine itself; an interrupted call is repeated.
class SystemV4l2Io : public V4l2Io
{
public:
    int open(const QString &path) override;
    void close(int fd) override;
    int ioctl(int fd, unsigned long request, void *arg) override;
};

} // namespace skelvin
