#pragma once

#include <QString>

namespace skelvin {

// A device failure in the operator's words, e.g. "HD Webcam is in use by another program" or
// "USB Audio was disconnected". `errnum` is a positive errno.
QString deviceErrorText(const QString &deviceName, int errnum);
// The same for an error code of FFmpeg's input and output devices.
QString ffmpegDeviceErrorText(const QString &deviceName, int averror);
// Whether the errno means the device has gone (pulled out, or its driver failed for good).
bool isDisconnection(int errnum);

} // namespace skelvin
