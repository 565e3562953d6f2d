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
};

// Where and when the skier first touches the water, counted from leaving the ramp.
struct SceneLanding
{
    SurveyPoint point{52.0, 0.8};
    double seconds = 2.0;
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

    QStringList warnings() const { return m_warnings; }
    void addWarning(const QString &warning) { m_warnings << warning; }

    PinholeCamera pinhole() const;

    // Where a survey point on the water shows, in pixels in the program's convention: a click
    // on pixel i gives twips 15 * i, so pixel (i, j) is centred at (i, j). NaN, NaN for a point
    // the camera cannot see (behind it).
    QPointF pictureOf(const SurveyPoint &p, QSize size) const;
    // The same for a point above the water.
    std::optional<QPointF> pictureOf(const ScenePoint &p, QSize size) const;

    SurveyPoint landingSurvey() const { return m_landing.point; }
    double landingSeconds() const { return m_landing.seconds; }
    // The first frame, counted from 0 at the jump's start, in which the skier touches the
    // water: frame k shows the moment k / framesPerSecond after leaving the ramp.
    int landingFrame(double framesPerSecond) const;

    // The camera's view at a moment: waves moved on by secondsSinceStart, the skier (when a
    // jump is under way) secondsSinceJump after leaving the ramp, the frame number strip on
    // top. Format_RGB32 or Format_RGB888.
    QImage render(QSize size, double secondsSinceStart, std::optional<double> secondsSinceJump,
                  int frameNumber, QImage::Format format = QImage::Format_RGB32) const;

private:
    friend class SceneRenderer;
    void forgetRendering();

    SceneCourse m_course;
    SceneCamera m_camera;
    SceneLanding m_landing;
    QStringList m_warnings;
    std::shared_ptr<SceneRenderCache> m_renderCache;
};

} // namespace skelvin
