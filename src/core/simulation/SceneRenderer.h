#pragma once

#include "core/simulation/SimulatedScene.h"

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QSize>

#include <optional>
#include <vector>

class QPainter;

namespace skelvin {

// Draws a simulated scene at one picture size and format, fast enough for every frame of a
// 1920 x 1080 camera: the water, sky and far shore are drawn once, a little wider than the
// picture; each frame copies every water row from it shifted sideways by the waves of that
// moment (and by the camera's turning), then paints the ramp, the buoys, the skier and the
// splash as the camera of that moment sees them, the light of the day, and the frame number.
class SceneRenderer
{
public:
    SceneRenderer(const SimulatedScene &scene, QSize size, QImage::Format format);

    QSize size() const { return m_size; }
    QImage::Format format() const { return m_format; }

    // Fills `picture` (of this size and format; it may wrap a frame's own memory).
    void renderInto(QImage &picture, double secondsSinceStart,
                    std::optional<double> secondsSinceJump, int frameNumber) const;

private:
    struct Disc
    {
        QPointF centre; // painter coordinates
        double radius = 0.0;
    };

    void drawBackdrop();
    std::vector<Disc> buoyDiscs(const PinholeCamera &camera) const;
    QPoint backdropShift(const PinholeCamera &camera) const;
    void drawRamp(QPainter &painter, const PinholeCamera &camera) const;
    void drawSkier(QPainter &painter, const PinholeCamera &camera, double secondsSinceJump) const;
    void drawSplash(QPainter &painter, const PinholeCamera &camera,
                    double secondsSinceLanding) const;
    std::optional<QPointF> painterPoint(const PinholeCamera &camera, const ScenePoint &p) const;

    SimulatedScene m_scene;
    PinholeCamera m_camera;
    QSize m_size;
    QImage::Format m_format;
    int m_slackPixels = 0;     // how much wider the backdrop is than the picture
    int m_waveSlackPixels = 0; // the part of it the waves may use
    int m_horizonRow = 0;      // the first row that sees the water
    QImage m_backdrop;
    std::vector<double> m_waveAmplitude; // per row, pixels; 0 above the water
    std::vector<double> m_wavePhase;
    std::vector<Disc> m_buoys;
};

} // namespace skelvin
