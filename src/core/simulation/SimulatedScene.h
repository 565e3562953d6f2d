#pragma once

#include "core/common/Result.h"
#include "core/geometry/Grid.h"
#include "core/simulation/PinholeCamera.h"

#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace skelvin {

class SceneRenderCache;

// The surveyed course: survey X runs downcourse from the jump, survey Y across the course.
// Seen from the default camera on the near shore, X grows to the right and the far (upper)
// buoys have the larger Y, so a grid built from the view measures positive distances.
struct SceneCourse
{
    SurveyPoint upperLeft{20.0, 10.0};
    SurveyPoint upperRight{75.0, 10.0};
    SurveyPoint lowerLeft{20.0, -10.0};
    SurveyPoint lowerRight{75.0, -10.0};
    SurveyPoint checkBuoy{60.0, -3.0};
    SurveyPoint jump{0.0, 0.0}; // the top edge of the ramp, where distances are measured from
};

// The shore tower's camera. By default it stands as at a homologated site: 20 m up, 130 m
// from the course's centre line, with a lens long enough that the grid fills about nine tenths
// of the picture's width and is seen under about 25 degrees, so a grid built on its view passes
// the setup checks.
struct SceneCamera
{
    SurveyPoint position{47.5, -130.0};
    double heightMetres = 20.0;
    SurveyPoint aim{47.5, 0.0}; // the point on the water at the picture's centre
    double horizontalFovDegrees = 28.0;
    double k1 = 0.0; // radial lens distortion; 0: none

    // How the aim moves while the camera runs, counted from a recording's start: a slow sway
    // (the tower in the wind, swayDegrees at its widest, round and round once every
    // swayPeriodSeconds), a creeping pan (a zoom ring or a head that slips) and a sudden step
    // bumpSeconds after the start (a bumped camera). All 0 by default: the camera stands still.
    double swayDegrees = 0.0;
    double swayPeriodSeconds = 8.0;
    double driftDegreesPerMinute = 0.0;
    double bumpPanDegrees = 0.0;
    double bumpTiltDegrees = 0.0;
    double bumpSeconds = 1.0;
};

// How far the camera's aim is turned from where it was set up: pan to the right and tilt up,
// in degrees.
struct CameraTurn
{
    double panDegrees = 0.0;
    double tiltDegrees = 0.0;
};

// The light of the day: 1 is the usual light, below darker; noise is the sensor's, as a
// standard deviation in grey levels, drawn afresh for every frame; glints (0 to 1) are the
// sun's sparkles on the water.
struct SceneLight
{
    double brightness = 1.0;
    double noise = 0.0;
    double glints = 0.0;
};

// The water: waves scale the swell's height (1 the usual, 0 glassy water); whitecaps (0 to 1)
// are the share of wave crests that break white.
struct SceneWater
{
    double waves = 1.0;
    double whitecaps = 0.0;
};

// Where and when the skier first touches the water, counted from leaving the ramp.
struct SceneLanding
{
    SurveyPoint point{52.0, 0.8};
    double seconds = 2.0;
    double splash = 1.0; // the size of the splash, 1 the usual
    // False: a pass without a jump; the skier rides past the ramp through the view on the
    // water and never lands (nothing touches the water at point or seconds).
    bool jump = true;
};

// Height of the ramp's top edge above the water, where the skier leaves it.
inline constexpr double kRampHeightMetres = 1.65;

// The landing area a simulated camera looks at: the course, the camera and the landing it
// knows to be true. Loaded from a scene file (INI) or the defaults; renders the camera's view.
class SimulatedScene
{
public:
    SimulatedScene();

    // The default scene for an empty path, else the scene file. A file that cannot be read
    // fails; values that make no sense keep their defaults and are listed in warnings().
    static Result<SimulatedScene> load(const QString &sceneFile);

    // Changing the scene through these starts the drawing afresh.
    SceneCourse &course()
    {
        forgetRendering();
        return m_course;
    }
    const SceneCourse &course() const { return m_course; }
    SceneCamera &camera()
    {
        forgetRendering();
        return m_camera;
    }
    const SceneCamera &camera() const { return m_camera; }
    SceneLanding &landing()
    {
        forgetRendering();
        return m_landing;
    }
    const SceneLanding &landing() const { return m_landing; }
    SceneLight &light()
    {
        forgetRendering();
        return m_light;
    }
    const SceneLight &light() const { return m_light; }
    SceneWater &water()
    {
        forgetRendering();
        return m_water;
    }
    const SceneWater &water() const { return m_water; }

    QStringList warnings() const { return m_warnings; }
    void addWarning(const QString &warning) { m_warnings << warning; }

    // The camera as it was set up, and as it is secondsSinceStart after a recording's start.
    PinholeCamera pinhole() const;
    PinholeCamera pinholeAt(double secondsSinceStart) const;
    CameraTurn turnAt(double secondsSinceStart) const;

    // Where a survey point on the water shows, in pixels in the program's convention: a click
    // on pixel i gives twips 15 * i, so pixel (i, j) is centred at (i, j). NaN, NaN for a point
    // the camera cannot see (behind it). Without a time, as the camera was set up.
    QPointF pictureOf(const SurveyPoint &p, QSize size) const;
    QPointF pictureOf(const SurveyPoint &p, QSize size, double secondsSinceStart) const;
    // The same for a point above the water.
    std::optional<QPointF> pictureOf(const ScenePoint &p, QSize size) const;
    std::optional<QPointF> pictureOf(const ScenePoint &p, QSize size,
                                     double secondsSinceStart) const;

    SurveyPoint landingSurvey() const { return m_landing.point; }
    double landingSeconds() const { return m_landing.seconds; }
    // The first frame, counted from 0 at the jump's start, in which the skier touches the
    // water: frame k shows the moment k / framesPerSecond after leaving the ramp.
    int landingFrame(double framesPerSecond) const;

    // The camera's view at a moment: waves moved on by secondsSinceStart, the skier (when a
    // jump is under way) secondsSinceJump after leaving the ramp, the frame number strip on
    // top. The camera's aim moves by the time since the jump started (a recording starts with
    // the jump), or since the start before any jump. Format_RGB32 or Format_RGB888.
    QImage render(QSize size, double secondsSinceStart, std::optional<double> secondsSinceJump,
                  int frameNumber, QImage::Format format = QImage::Format_RGB32) const;

private:
    friend class SceneRenderer;
    void forgetRendering();

    SceneCourse m_course;
    SceneCamera m_camera;
    SceneLanding m_landing;
    SceneLight m_light;
    SceneWater m_water;
    QStringList m_warnings;
    std::shared_ptr<SceneRenderCache> m_renderCache;
};

} // namespace skelvin
