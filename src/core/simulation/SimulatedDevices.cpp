#include "core/simulation/SimulatedDevices.h"

#include "core/simulation/SimulatedCamera.h"
#include "core/simulation/SimulatedMicrophone.h"
#include "core/simulation/SimulatedScene.h"

namespace skelvin {

namespace {

// The scene, or nothing with the reason; a scene that kept defaults for bad values is used,
// and what was wrong is left in `error` for the caller to show.
std::optional<SimulatedScene> loadScene(const QString &sceneFile, QString &error)
{
    Result<SimulatedScene> scene = SimulatedScene::load(sceneFile);
    if (!scene) {
        error = scene.error();
        return std::nullopt;
    }
    error = scene->warnings().join(QLatin1Char('\n'));
    return scene.value();
}

} // namespace

std::unique_ptr<VideoSource> makeSimulatedCamera(const QString &sceneFile, QString &error)
{
    std::optional<SimulatedScene> scene = loadScene(sceneFile, error);
    if (!scene)
        return nullptr;
    return std::make_unique<SimulatedCamera>(std::move(*scene));
}

std::unique_ptr<AudioSource> makeSimulatedMicrophone(const QString &sceneFile, QString &error)
{
    std::optional<SimulatedScene> scene = loadScene(sceneFile, error);
    if (!scene)
        return nullptr;
    return std::make_unique<SimulatedMicrophone>(*scene);
}

} // namespace skelvin
