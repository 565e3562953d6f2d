#include "core/simulation/PinholeCamera.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skelvin {

namespace {

double dot(const double *a, const double *b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void normalise(double *a)
{
    const double n = std::sqrt(dot(a, a));
    if (n > 0.0) {
        a[0] /= n;
        a[1] /= n;
        a[2] /= n;
    }
}

// Turns v by angle (radians) about the unit axis k, right-handed (Rodrigues).
void rotate(double *v, const double *k, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    const double cross[3] = {k[1] * v[2] - k[2] * v[1], k[2] * v[0] - k[0] * v[2],
                             k[0] * v[1] - k[1] * v[0]};
    const double along = dot(k, v) * (1.0 - c);
    for (int i = 0; i < 3; ++i)
        v[i] = v[i] * c + cross[i] * s + k[i] * along;
}

} // namespace

PinholeCamera PinholeCamera::turned(double panDegrees, double tiltDegrees) const
{
    PinholeCamera moved = *this;
    const double degree = std::numbers::pi / 180.0;
    // Panning right turns the view clockwise seen from above: about the vertical, negatively.
    const double vertical[3] = {0.0, 0.0, 1.0};
    for (double *axis : {moved.m_forward, moved.m_right, moved.m_up})
        rotate(axis, vertical, -panDegrees * degree);
    // Tilting up turns forward towards up: about the camera's right axis, positively.
    const double right[3] = {moved.m_right[0], moved.m_right[1], moved.m_right[2]};
    for (double *axis : {moved.m_forward, moved.m_up})
        rotate(axis, right, tiltDegrees * degree);
    return moved;
}

PinholeCamera::PinholeCamera(ScenePoint position, SurveyPoint aim, double horizontalFovDegrees,
                             double k1)
    : m_position(position), m_tanHalfFov(std::tan(horizontalFovDegrees * std::numbers::pi / 360.0)),
      m_k1(k1)
{
    m_forward[0] = aim.x - position.x;
    m_forward[1] = aim.y - position.y;
    m_forward[2] = -position.z;
    normalise(m_forward);
    // Right = forward x up (no roll); a camera looking straight down keeps survey X as right.
    m_right[0] = m_forward[1];
    m_right[1] = -m_forward[0];
    m_right[2] = 0.0;
    if (dot(m_right, m_right) < 1e-18) {
        m_right[0] = 1.0;
        m_right[1] = 0.0;
    }
    normalise(m_right);
    m_up[0] = m_right[1] * m_forward[2] - m_right[2] * m_forward[1];
    m_up[1] = m_right[2] * m_forward[0] - m_right[0] * m_forward[2];
    m_up[2] = m_right[0] * m_forward[1] - m_right[1] * m_forward[0];
}

double PinholeCamera::focalPixels(QSize size) const
{
    return size.width() / 2.0 / m_tanHalfFov;
}

std::optional<QPointF> PinholeCamera::project(const ScenePoint &p, QSize size) const
{
    const double d[3] = {p.x - m_position.x, p.y - m_position.y, p.z - m_position.z};
    const double depth = dot(d, m_forward);
    if (!(depth > 1e-6))
        return std::nullopt;
    double xn = dot(d, m_right) / depth;
    double yn = dot(d, m_up) / depth;
    if (m_k1 != 0.0) {
        const double scale = 1.0 + m_k1 * (xn * xn + yn * yn);
        xn *= scale;
        yn *= scale;
    }
    const double f = focalPixels(size);
    return QPointF(size.width() / 2.0 + f * xn, size.height() / 2.0 - f * yn);
}

std::optional<WaterHit> PinholeCamera::waterAt(QPointF picture, QSize size) const
{
    const double f = focalPixels(size);
    const double xn = (picture.x() - size.width() / 2.0) / f;
    const double yn = (size.height() / 2.0 - picture.y()) / f;
    double ray[3];
    for (int i = 0; i < 3; ++i)
        ray[i] = m_forward[i] + xn * m_right[i] + yn * m_up[i];
    if (!(ray[2] < -1e-9) || m_position.z <= 0.0)
        return std::nullopt;
    const double t = -m_position.z / ray[2];
    const double length = std::sqrt(dot(ray, ray));
    WaterHit hit;
    hit.survey = {m_position.x + t * ray[0], m_position.y + t * ray[1]};
    hit.distanceMetres = t * length;
    // Across the ray one pixel covers distance / f metres; along the water it is stretched by
    // the grazing angle.
    const double grazing = std::max(0.02, -ray[2] / length);
    hit.metresPerPixel = hit.distanceMetres / f / grazing;
    return hit;
}

double PinholeCamera::pixelsPerMetreAt(const ScenePoint &p, QSize size) const
{
    const double d[3] = {p.x - m_position.x, p.y - m_position.y, p.z - m_position.z};
    const double depth = dot(d, m_forward);
    return depth > 1e-6 ? focalPixels(size) / depth : 0.0;
}

} // namespace skelvin
