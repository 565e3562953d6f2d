#pragma once

#include "core/capture/devices/DeviceCatalog.h"

namespace skelvin {

// A machine without cameras or microphones: what the control has when nothing else is given.
class EmptyDeviceCatalog : public DeviceCatalog
{
public:
    using DeviceCatalog::DeviceCatalog;

    QStringList videoDeviceNames() const override { return {}; }
    QStringList audioDeviceNames() const override { return {}; }
    std::unique_ptr<VideoSource> openVideo(int, QString &error) override
    {
        error = QStringLiteral("No Capture Devices");
        return nullptr;
    }
    std::unique_ptr<AudioSource> openAudio(int, QString &error) override
    {
        error = QStringLiteral("No audio devices");
        return nullptr;
    }
};

} // namespace skelvin
