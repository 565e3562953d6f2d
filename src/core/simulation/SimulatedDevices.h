#pragma once

#include "core/capture/devices/AudioSource.h"
#include "core/capture/devices/VideoSource.h"

#include <QString>

#include <memory>

namespace skelvin {

// The simulated camera and microphone (offered by `SimulatedDeviceCatalog`). `sceneFile` is an INI scene file, or empty for the default scene. Null with the reason
// in `error` when the scene file cannot be used. A device is also made from a scene file with
// values that make no sense (those keep their defaults); `error` then tells them, one a line,
// and is empty otherwise.
inline const QString kSimulatedCameraName = QStringLiteral("Simulated camera");
inline const QString kSimulatedMicrophoneName = QStringLiteral("Simulated microphone");

std::unique_ptr<VideoSource> makeSimulatedCamera(const QString &sceneFile, QString &error);
std::unique_ptr<AudioSource> makeSimulatedMicrophone(const QString &sceneFile, QString &error);

} // namespace skelvin
