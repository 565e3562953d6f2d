#pragma once

#include "core/capture/shared/CaptureTypes.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace skelvin {

// What a camera's device node says about itself.
struct V4l2DeviceInfo
{
    QString path;    // "/dev/video0"
    QString name;    // the card's name, e.g. "HD Pro Webcam C920"
    QString busInfo; // "usb-0000:00:14.0-1"
    // Nodes that give pictures; a camera's metadata node and output-only nodes do not.
    bool capturesVideo = false;
    QStringList inputs; // every input, in the device's order
    std::vector<VideoFormatOffer> formats;
};

// One of the device's own controls with its V4L2 control id.
struct V4l2Control
{
    uint32_t controlId = 0;
    DeviceSetting setting;
};

} // namespace skelvin
