#include "core/capture/devices/DeviceErrors.h"

extern "C" {
#include <libavutil/error.h>
}

#include <cerrno>
#include <cstring>

namespace skelvin {

bool isDisconnection(int errnum)
{
    return errnum == ENODEV || errnum == ENOENT || errnum == ENXIO || errnum == EIO;
}

QString deviceErrorText(const QString &deviceName, int errnum)
{
    if (errnum == EBUSY)
        return QStringLiteral("%1 is in use by another program").arg(deviceName);
    if (isDisconnection(errnum))
        return QStringLiteral("%1 was disconnected").arg(deviceName);
    if (errnum == EACCES || errnum == EPERM)
        return QStringLiteral("%1 cannot be opened: permission denied (the user may need to be "
                              "in the \"video\" and \"audio\" groups)")
            .arg(deviceName);
    return QStringLiteral("%1 failed: %2")
        .arg(deviceName, QString::fromLocal8Bit(strerror(errnum)));
}

QString ffmpegDeviceErrorText(const QString &deviceName, int averror)
{
    // A device input that ends has lost its device: cameras and sound cards do not run out.
    if (averror == AVERROR_EOF)
        return deviceErrorText(deviceName, ENODEV);
    if (averror < 0 && averror > -4096)
        return deviceErrorText(deviceName, AVUNERROR(averror));
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(averror, text, sizeof text);
    return QStringLiteral("%1 failed: %2").arg(deviceName, QString::fromUtf8(text));
}

} // namespace skelvin
