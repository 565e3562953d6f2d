#include "core/simulation/SceneRenderer.h"

#include "core/simulation/FrameNumberStrip.h"
#include "core/simulation/SceneLightEffects.h"

#include <QColor>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace skelvin {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kGravity = 9.81;
constexpr double kWavePeriodSeconds = 3.5;
constexpr double kRampLengthMetres = 6.0;
constexpr double kRampHalfWidthMetres = 2.1;
constexpr double kBuoyDiameterMetres = 0.45;
constexpr double kSkiLengthMetres = 1.7;
constexpr double kRideAwaySeconds = 4.0; // the skier is shown this long after landing
constexpr double kSplashSeconds = 3.0;
constexpr double kPassBesideRampMetres = 6.0; // how far from the ramp a skier passes by it

// A repeatable grain in -1 .. 1 for a pixel.
double grain(unsigned u, unsigned v)
{
    unsigned h = u * 374761393u + v * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<double>(h & 0xFFu) / 127.5 - 1.0;
}

// A repeatable number in 0 .. 1 for the i-th drop of spray.
double dropNumber(int i, int salt)
{
    return (grain(static_cast<unsigned>(i * 7 + salt), static_cast<unsigned>(salt * 13 + 5)) +
            1.0) /
           2.0;
}

struct Swell
{
    double dirX, dirY, wavelengthMetres, amplitude, phase;
};

constexpr Swell kSwells[] = {
    {0.6, 0.8, 5.0, 1.0, 0.0},
    {-0.35, 0.94, 2.1, 0.6, 1.3},
    {0.92, -0.39, 1.1, 0.45, 2.1},
    {0.2, 0.98, 0.55, 0.3, 0.7},
};

int clampByte(double v)
{
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

QRgb waterColour(const WaterHit &hit, unsigned u, unsigned v, const SceneWater &water)
{
    double ripple = 0.0;
    for (const Swell &s : kSwells) {
        // Waves too fine for the pixels there fade out instead of flickering.
        const double pixelsPerWave = s.wavelengthMetres / hit.metresPerPixel;
        const double fade = std::clamp((pixelsPerWave - 3.0) / 5.0, 0.0, 1.0);
        if (fade <= 0.0)
            continue;
        const double along = s.dirX * hit.survey.x + s.dirY * hit.survey.y;
        ripple += fade * s.amplitude * std::sin(2.0 * kPi * along / s.wavelengthMetres + s.phase);
    }
    const double far = 1.0 - std::exp(-hit.distanceMetres / 180.0);
    const double shade =
        water.waves * (ripple * 12.0 * (1.0 - 0.6 * far) + (ripple > 1.7 ? 22.0 : 0.0));
    const double noise = grain(u, v) * 6.0;
    double r = 24 + (140 - 24) * far + shade + noise;
    double g = 68 + (170 - 68) * far + shade + noise;
    double b = 92 + (190 - 92) * far + shade + noise;
    // Whitecaps: on the higher crests, patches of foam about a metre across, as many of them
    // as the share asks for.
    if (water.whitecaps > 0.0 && water.waves > 0.0 && ripple > 1.0) {
        const unsigned cellX = static_cast<unsigned>(std::floor(hit.survey.x / 1.3) + 100000);
        const unsigned cellY = static_cast<unsigned>(std::floor(hit.survey.y / 0.9) + 100000);
        if ((grain(cellX, cellY) + 1.0) / 2.0 < water.whitecaps) {
            const double foam = std::clamp((ripple - 1.0) * 1.5, 0.0, 1.0);
            r += (222 - r) * foam;
            g += (230 - g) * foam;
            b += (234 - b) * foam;
        }
    }
    return qRgb(clampByte(r), clampByte(g), clampByte(b));
}

void putPixel(uchar *row, int x, QRgb colour, QImage::Format format)
{
    if (format == QImage::Format_RGB888) {
        row[x * 3] = static_cast<uchar>(qRed(colour));
        row[x * 3 + 1] = static_cast<uchar>(qGreen(colour));
        row[x * 3 + 2] = static_cast<uchar>(qBlue(colour));
    } else {
        reinterpret_cast<QRgb *>(row)[x] = colour;
    }
}

ScenePoint along(const ScenePoint &p, double dx, double dy, double dz)
{
    return {p.x + dx, p.y + dy, p.z + dz};
}

} // namespace

SceneRenderer::SceneRenderer(const SimulatedScene &scene, QSize size, QImage::Format format)
    : m_scene(scene), m_camera(scene.pinhole()), m_size(size),
      m_format(format == QImage::Format_RGB888 ? QImage::Format_RGB888 : QImage::Format_RGB32)
{
    // The scene's render cache may come to hold this renderer: the copy kept here must not
    // share that cache, or the two would keep each other alive for ever.
    m_scene.forgetRendering();
    // Room on each side for the waves' sway of the rows and for the camera's turning.
    m_waveSlackPixels = std::max(16, size.width() / 20) / 2 * 2;
    m_slackPixels = m_waveSlackPixels + std::max(16, size.width() / 10) / 2 * 2;
    drawBackdrop();

    m_buoys = buoyDiscs(m_camera);
}

std::vector<SceneRenderer::Disc> SceneRenderer::buoyDiscs(const PinholeCamera &camera) const
{
    std::vector<Disc> discs;
    const SceneCourse &c = m_scene.course();
    const double minimumDiameter = std::max(6.0, 10.0 * m_size.width() / 1280.0);
    for (const SurveyPoint &p :
         {c.upperLeft, c.upperRight, c.lowerLeft, c.lowerRight, c.checkBuoy}) {
        const ScenePoint onWater{p.x, p.y, 0.0};
        const std::optional<QPointF> at = camera.project(onWater, m_size);
        if (!at)
            continue;
        const double diameter = std::max(
            minimumDiameter, kBuoyDiameterMetres * camera.pixelsPerMetreAt(onWater, m_size));
        discs.push_back({*at, diameter / 2.0});
    }
    return discs;
}

void SceneRenderer::drawBackdrop()
{
    const int width = m_size.width() + m_slackPixels;
    const int height = m_size.height();
    m_backdrop = QImage(width, height, m_format);
    m_waveAmplitude.assign(static_cast<size_t>(height), 0.0);
    m_wavePhase.assign(static_cast<size_t>(height), 0.0);
    if (m_backdrop.isNull())
        return;

    const double half = m_slackPixels / 2.0;
    const double scale = m_size.width() / 1280.0;
    // The first row (from the top) whose middle sees the water: the horizon.
    int horizonRow = height;
    for (int v = 0; v < height; ++v) {
        if (m_camera.waterAt({m_size.width() / 2.0, v + 0.5}, m_size)) {
            horizonRow = v;
            break;
        }
    }
    m_horizonRow = horizonRow;

    for (int v = 0; v < height; ++v) {
        uchar *row = m_backdrop.scanLine(v);
        const std::optional<WaterHit> middle =
            m_camera.waterAt({m_size.width() / 2.0, v + 0.5}, m_size);
        if (middle) {
            // Near rows sway further than far ones; the phase runs with the distance so the
            // swell seems to roll towards the shore.
            const double pixelsPerMetre =
                1.0 / std::max(1e-6, middle->distanceMetres) * (m_size.width() / 2.0);
            m_waveAmplitude[static_cast<size_t>(v)] =
                std::min(m_waveSlackPixels / 2.0 - 1.0, 0.5 * pixelsPerMetre) *
                std::min(1.0, m_scene.water().waves);
            m_wavePhase[static_cast<size_t>(v)] = -0.9 * middle->distanceMetres;
        }
        for (int u = 0; u < width; ++u) {
            const QPointF at(u - half + 0.5, v + 0.5);
            const unsigned gu = static_cast<unsigned>(u), gv = static_cast<unsigned>(v);
            if (const std::optional<WaterHit> hit = m_camera.waterAt(at, m_size)) {
                putPixel(row, u, waterColour(*hit, gu, gv, m_scene.water()), m_format);
                continue;
            }
            // The far shore's tree line just above the horizon, then the sky.
            const double treeTop = horizonRow - scale * (7.0 + 4.0 * std::sin(u * 0.013 / scale) +
                                                         2.5 * std::sin(u * 0.041 / scale + 1.0));
            QRgb colour;
            if (v >= treeTop) {
                const double n = grain(gu, gv) * 14.0;
                colour = qRgb(clampByte(45 + n), clampByte(76 + n), clampByte(46 + n * 0.6));
            } else {
                const double f =
                    horizonRow > 0 ? std::clamp(double(v) / horizonRow, 0.0, 1.0) : 1.0;
                const double n = grain(gu, gv) * 3.0;
                colour = qRgb(clampByte(105 + 85 * f + n), clampByte(150 + 60 * f + n),
                              clampByte(205 + 23 * f + n));
            }
            putPixel(row, u, colour, m_format);
        }
    }
}

std::optional<QPointF> SceneRenderer::painterPoint(const PinholeCamera &camera,
                                                   const ScenePoint &p) const
{
    return camera.project(p, m_size);
}

QPoint SceneRenderer::backdropShift(const PinholeCamera &camera) const
{
    // How far the water at the picture's centre moved: the backdrop is copied shifted by that
    // much, which is near enough for the texture; everything measured is drawn by the camera.
    const QPointF centre(m_size.width() / 2.0, m_size.height() / 2.0);
    const std::optional<WaterHit> hit = m_camera.waterAt(centre, m_size);
    const std::optional<QPointF> now =
        hit ? camera.project({hit->survey.x, hit->survey.y, 0.0}, m_size) : std::nullopt;
    if (!now)
        return {};
    return {static_cast<int>(std::lround(now->x() - centre.x())),
            static_cast<int>(std::lround(now->y() - centre.y()))};
}

void SceneRenderer::renderInto(QImage &picture, double secondsSinceStart,
                               std::optional<double> secondsSinceJump, int frameNumber) const
{
    if (picture.size() != m_size || picture.format() != m_format || m_backdrop.isNull())
        return;
    const bool jumping = secondsSinceJump && *secondsSinceJump >= 0.0;
    const CameraTurn turn = m_scene.turnAt(jumping ? *secondsSinceJump : secondsSinceStart);
    const bool still = turn.panDegrees == 0.0 && turn.tiltDegrees == 0.0;
    const PinholeCamera camera =
        still ? m_camera : m_camera.turned(turn.panDegrees, turn.tiltDegrees);
    const QPoint moved = backdropShift(camera);
    const int bytesPerPixel = m_format == QImage::Format_RGB888 ? 3 : 4;
    const double half = m_slackPixels / 2.0;
    const double omega = 2.0 * kPi / kWavePeriodSeconds;
    for (int v = 0; v < m_size.height(); ++v) {
        const int from = std::clamp(v - moved.y(), 0, m_size.height() - 1);
        const double amplitude = m_waveAmplitude[static_cast<size_t>(from)];
        const double shift = amplitude > 0.0
                                 ? amplitude * std::sin(omega * secondsSinceStart +
                                                        m_wavePhase[static_cast<size_t>(from)])
                                 : 0.0;
        const int offset = std::clamp(static_cast<int>(std::lround(half + shift)) - moved.x(), 0,
                                      m_slackPixels);
        std::memcpy(picture.scanLine(v), m_backdrop.constScanLine(from) + offset * bytesPerPixel,
                    static_cast<size_t>(m_size.width() * bytesPerPixel));
    }
    const SceneLight &light = m_scene.light();
    // The same moment always gives the same sparkle and grain.
    const auto seed = static_cast<uint32_t>(std::llround(secondsSinceStart * 1000.0));
    if (light.glints > 0.0)
        drawGlints(picture, m_horizonRow + moved.y(), light.glints, seed);

    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    drawRamp(painter, camera);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 120, 0));
    for (const Disc &buoy : still ? m_buoys : buoyDiscs(camera))
        painter.drawEllipse(buoy.centre, buoy.radius, buoy.radius);
    if (jumping) {
        const double t = *secondsSinceJump;
        const double landing = m_scene.landingSeconds();
        if (t <= landing + kRideAwaySeconds)
            drawSkier(painter, camera, t);
        if (m_scene.landing().jump && t >= landing && t <= landing + kSplashSeconds)
            drawSplash(painter, camera, t - landing);
    }
    painter.end();
    applyLight(picture, light, seed);
    drawFrameNumberStrip(picture, frameNumber);
}

void SceneRenderer::drawRamp(QPainter &painter, const PinholeCamera &camera) const
{
    const SurveyPoint jump = m_scene.course().jump;
    const SurveyPoint land = m_scene.landingSurvey();
    double dx = land.x - jump.x, dy = land.y - jump.y;
    const double length = std::hypot(dx, dy);
    if (length < 1e-9) {
        dx = 1.0;
        dy = 0.0;
    } else {
        dx /= length;
        dy /= length;
    }
    const double nx = -dy * kRampHalfWidthMetres, ny = dx * kRampHalfWidthMetres;
    const ScenePoint top{jump.x, jump.y, kRampHeightMetres};
    const ScenePoint foot{jump.x - kRampLengthMetres * dx, jump.y - kRampLengthMetres * dy, 0.1};
    const ScenePoint corners[] = {along(foot, nx, ny, 0), along(top, nx, ny, 0),
                                  along(top, -nx, -ny, 0), along(foot, -nx, -ny, 0)};
    QPolygonF surface, sideA, sideB;
    for (const ScenePoint &p : corners) {
        const auto at = painterPoint(camera, p);
        if (!at)
            return;
        surface << *at;
    }
    const auto baseA = painterPoint(camera, along(corners[1], 0, 0, -kRampHeightMetres));
    const auto baseB = painterPoint(camera, along(corners[2], 0, 0, -kRampHeightMetres));
    if (!baseA || !baseB)
        return;
    sideA << surface[0] << surface[1] << *baseA;
    sideB << surface[3] << surface[2] << *baseB;
    painter.setPen(QPen(QColor(70, 60, 50), 1.0));
    painter.setBrush(QColor(120, 108, 96));
    painter.drawPolygon(sideA);
    painter.drawPolygon(sideB);
    painter.setBrush(QColor(228, 228, 218));
    painter.drawPolygon(surface);
}

void SceneRenderer::drawSkier(QPainter &painter, const PinholeCamera &camera, double t) const
{
    const SurveyPoint jump = m_scene.course().jump;
    const SurveyPoint land = m_scene.landingSurvey();
    const double flight = m_scene.landingSeconds();
    double dx = land.x - jump.x, dy = land.y - jump.y;
    const double planLength = std::hypot(dx, dy);
    if (planLength > 1e-9) {
        dx /= planLength;
        dy /= planLength;
    } else {
        dx = 1.0;
        dy = 0.0;
    }
    const double planSpeed = planLength / flight;

    // The tail of the skis: the point that first touches the water.
    ScenePoint tail;
    double pitch = 0.0;
    if (!m_scene.landing().jump) {
        // A pass without a jump: the skier rides past the ramp on its near side, on the water
        // all the way, as fast across the ground as a jump would have flown.
        const double s = planSpeed * t;
        tail = {jump.x + dy * kPassBesideRampMetres + dx * s,
                jump.y - dx * kPassBesideRampMetres + dy * s, 0.0};
    } else if (t <= flight) {
        const double rise = (kGravity * flight * flight / 2.0 - kRampHeightMetres) / flight;
        const double s = planSpeed * t;
        tail = {jump.x + dx * s, jump.y + dy * s,
                std::max(0.0, kRampHeightMetres + rise * t - kGravity * t * t / 2.0)};
        pitch = 10.0 * kPi / 180.0;
    } else {
        const double tau = 1.2;
        const double s = planLength + planSpeed * tau * (1.0 - std::exp(-(t - flight) / tau));
        tail = {jump.x + dx * s, jump.y + dy * s, 0.0};
    }
    const double fx = dx * std::cos(pitch), fy = dy * std::cos(pitch), fz = std::sin(pitch);
    const double pixelsPerMetre = camera.pixelsPerMetreAt(tail, m_size);
    if (pixelsPerMetre <= 0.0)
        return;
    auto line = [&](const ScenePoint &a, const ScenePoint &b, const QColor &colour, double metres) {
        const auto pa = painterPoint(camera, a), pb = painterPoint(camera, b);
        if (!pa || !pb)
            return;
        painter.setPen(
            QPen(colour, std::max(1.5, metres * pixelsPerMetre), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(*pa, *pb);
    };

    // Two skis side by side, the body standing on their middle and leaning back a little.
    const double sideX = -dy * 0.13, sideY = dx * 0.13;
    const QColor skiColour(245, 205, 20), suit(150, 22, 32), skin(232, 190, 150);
    for (double side : {-1.0, 1.0}) {
        const ScenePoint skiTail = along(tail, side * sideX, side * sideY, 0.0);
        const ScenePoint skiTip =
            along(skiTail, fx * kSkiLengthMetres, fy * kSkiLengthMetres, fz * kSkiLengthMetres);
        line(skiTail, skiTip, skiColour, 0.09);
    }
    const ScenePoint binding = along(tail, fx * 0.8, fy * 0.8, fz * 0.8 + 0.05);
    const ScenePoint knee = along(binding, dx * 0.25, dy * 0.25, 0.45);
    const ScenePoint hip = along(binding, -dx * 0.15, -dy * 0.15, 0.85);
    const ScenePoint shoulder = along(hip, dx * 0.05, dy * 0.05, 0.55);
    const ScenePoint hands = along(shoulder, dx * 0.45, dy * 0.45, -0.25);
    const ScenePoint head = along(shoulder, 0.0, 0.0, 0.22);
    line(binding, knee, suit, 0.14);
    line(knee, hip, suit, 0.15);
    line(hip, shoulder, suit, 0.2);
    line(shoulder, hands, suit, 0.09);
    if (const auto at = painterPoint(camera, head)) {
        const double r = std::max(1.5, 0.12 * pixelsPerMetre);
        painter.setPen(Qt::NoPen);
        painter.setBrush(skin);
        painter.drawEllipse(*at, r, r);
    }
}

void SceneRenderer::drawSplash(QPainter &painter, const PinholeCamera &camera, double t) const
{
    const SurveyPoint land = m_scene.landingSurvey();
    const ScenePoint centre{land.x, land.y, 0.0};
    const double pixelsPerMetre = camera.pixelsPerMetreAt(centre, m_size);
    const double fade = std::clamp(1.0 - (t - 1.5) / (kSplashSeconds - 1.5), 0.0, 1.0);
    const int alpha = static_cast<int>(230 * fade);

    // Foam spreading on the water around the point of contact.
    const double size = m_scene.landing().splash;
    if (size <= 0.0)
        return;
    const double radius = size * (0.4 + 2.2 * (1.0 - std::exp(-t / 0.45)));
    QPolygonF foam;
    for (int i = 0; i < 24; ++i) {
        const double a = 2.0 * kPi * i / 24.0;
        const auto at =
            painterPoint(camera, {land.x + radius * std::cos(a), land.y + 0.8 * radius * std::sin(a), 0.0});
        if (!at)
            return;
        foam << *at;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(236, 244, 248, alpha));
    painter.drawPolygon(foam);

    // Spray thrown up and out, falling back.
    painter.setBrush(QColor(248, 252, 255, alpha));
    const double dropRadius = std::max(1.0, 0.07 * std::sqrt(size) * pixelsPerMetre);
    const double throwSpeed = std::sqrt(size);
    for (int i = 0; i < 48; ++i) {
        const double a = 2.0 * kPi * (i + dropNumber(i, 1)) / 48.0;
        const double out = size * (0.3 + (1.5 + 3.0 * dropNumber(i, 2)) * t);
        const double up =
            throwSpeed * (2.0 + 4.0 * dropNumber(i, 3)) * t - kGravity * t * t / 2.0;
        if (up < 0.0)
            continue;
        const auto at = painterPoint(camera, {land.x + out * std::cos(a), land.y + out * std::sin(a), up});
        if (at)
            painter.drawEllipse(*at, dropRadius, dropRadius);
    }
}

} // namespace skelvin
