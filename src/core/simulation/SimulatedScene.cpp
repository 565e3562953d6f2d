#include "core/simulation/SimulatedScene.h"

#include "core/simulation/SceneFile.h"
#include "core/simulation/SceneRenderer.h"

#include <cmath>
#include <limits>
#include <mutex>
#include <numbers>

namespace skelvin {

// The renderer of the last size and format asked for, so the water is drawn once.
class SceneRenderCache
{
public:
    std::mutex mutex;
    std::unique_ptr<SceneRenderer> renderer;
};

SimulatedScene::SimulatedScene() : m_renderCache(std::make_shared<SceneRenderCache>()) {}

void SimulatedScene::forgetRendering()
{
    m_renderCache = std::make_shared<SceneRenderCache>();
}

Result<SimulatedScene> SimulatedScene::load(const QString &sceneFile)
{
    if (sceneFile.isEmpty())
        return SimulatedScene();
    return readSceneFile(sceneFile);
}

PinholeCamera SimulatedScene::pinhole() const
{
    return PinholeCamera({m_camera.position.x, m_camera.position.y, m_camera.heightMetres},
                         m_camera.aim, m_camera.horizontalFovDegrees, m_camera.k1);
}

CameraTurn SimulatedScene::turnAt(double secondsSinceStart) const
{
    const SceneCamera &c = m_camera;
    const double t = secondsSinceStart;
    CameraTurn turn;
    if (c.swayDegrees != 0.0 && c.swayPeriodSeconds > 0.0) {
        // The tower's top swings round a flat figure of eight: wide from side to side, half
        // as far up and down, and still where it was set up at the start.
        const double phase = 2.0 * std::numbers::pi * t / c.swayPeriodSeconds;
        turn.panDegrees += c.swayDegrees * std::sin(phase);
        turn.tiltDegrees += 0.5 * c.swayDegrees * std::sin(2.0 * phase);
    }
    turn.panDegrees += c.driftDegreesPerMinute * t / 60.0;
    if (t >= c.bumpSeconds) {
        turn.panDegrees += c.bumpPanDegrees;
        turn.tiltDegrees += c.bumpTiltDegrees;
    }
    return turn;
}

PinholeCamera SimulatedScene::pinholeAt(double secondsSinceStart) const
{
    const CameraTurn turn = turnAt(secondsSinceStart);
    if (turn.panDegrees == 0.0 && turn.tiltDegrees == 0.0)
        return pinhole();
    return pinhole().turned(turn.panDegrees, turn.tiltDegrees);
}

namespace {

std::optional<QPointF> programPixel(const PinholeCamera &camera, const ScenePoint &p, QSize size)
{
    const std::optional<QPointF> continuous = camera.project(p, size);
    if (!continuous)
        return std::nullopt;
    return *continuous - QPointF(0.5, 0.5);
}

QPointF waterPixel(const std::optional<QPointF> &at)
{
    if (!at) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return {nan, nan};
    }
    return *at;
}

} // namespace

std::optional<QPointF> SimulatedScene::pictureOf(const ScenePoint &p, QSize size) const
{
    return programPixel(pinhole(), p, size);
}

std::optional<QPointF> SimulatedScene::pictureOf(const ScenePoint &p, QSize size,
                                                 double secondsSinceStart) const
{
    return programPixel(pinholeAt(secondsSinceStart), p, size);
}

QPointF SimulatedScene::pictureOf(const SurveyPoint &p, QSize size) const
{
    return waterPixel(pictureOf(ScenePoint{p.x, p.y, 0.0}, size));
}

QPointF SimulatedScene::pictureOf(const SurveyPoint &p, QSize size, double secondsSinceStart) const
{
    return waterPixel(pictureOf(ScenePoint{p.x, p.y, 0.0}, size, secondsSinceStart));
}

int SimulatedScene::landingFrame(double framesPerSecond) const
{
    // A tiny allowance so that 2 s at 30 fps is frame 60, not 61 by rounding.
    return static_cast<int>(std::ceil(m_landing.seconds * framesPerSecond - 1e-9));
}

QImage SimulatedScene::render(QSize size, double secondsSinceStart,
                              std::optional<double> secondsSinceJump, int frameNumber,
                              QImage::Format format) const
{
    // The two formats a frame is drawn in; anything else is drawn as the 32-bit one.
    if (format != QImage::Format_RGB888)
        format = QImage::Format_RGB32;
    QImage picture(size, format);
    if (picture.isNull())
        return picture;
    std::lock_guard<std::mutex> lock(m_renderCache->mutex);
    std::unique_ptr<SceneRenderer> &renderer = m_renderCache->renderer;
    if (!renderer || renderer->size() != size || renderer->format() != format)
        renderer = std::make_unique<SceneRenderer>(*this, size, format);
    renderer->renderInto(picture, secondsSinceStart, secondsSinceJump, frameNumber);
    return picture;
}

} // namespace skelvin
