#include "core/simulation/SceneLightEffects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

namespace skelvin {

namespace {

constexpr double kGlintsPerPixelAtFullStrength = 1.0 / 300.0;

int bytesPerPixel(const QImage &picture)
{
    return picture.format() == QImage::Format_RGB888 ? 3 : 4;
}

// Standard normal numbers, drawn once: a frame's noise is read from it at a place and stride
// of the frame's own, which costs an addition per value instead of a random draw.
const std::vector<float> &normalTable()
{
    static const std::vector<float> table = [] {
        std::mt19937 random(20261209u);
        std::normal_distribution<float> normal(0.0f, 1.0f);
        std::vector<float> values(1u << 20);
        for (float &v : values)
            v = normal(random);
        return values;
    }();
    return table;
}

} // namespace

void drawGlints(QImage &picture, int firstWaterRow, double strength, uint32_t seed)
{
    const int width = picture.width(), height = picture.height();
    const int top = std::clamp(firstWaterRow, 0, height);
    if (strength <= 0.0 || top >= height || width < 3)
        return;
    const int step = bytesPerPixel(picture);
    std::mt19937 random(seed * 2654435761u + 17u);
    std::uniform_int_distribution<int> column(1, width - 2), row(top, height - 2);
    std::uniform_real_distribution<double> bright(0.55, 1.0);
    const auto count = static_cast<int>(strength * kGlintsPerPixelAtFullStrength * width *
                                        (height - top));
    for (int i = 0; i < count; ++i) {
        const int x = column(random), y = row(random);
        const double b = bright(random);
        // A speck of one pixel with a fainter pixel to its right and below, as a sparkle
        // blurred by the lens.
        const std::array<std::array<int, 3>, 3> specks{{{0, 0, 100}, {1, 0, 45}, {0, 1, 45}}};
        for (const auto &[dx, dy, percent] : specks) {
            uchar *p = picture.scanLine(y + dy) + (x + dx) * step;
            const double a = b * percent / 100.0;
            // 32-bit pixels are B, G, R, X in memory; 24-bit ones R, G, B: white is white.
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<uchar>(std::lround(p[c] + (252 - p[c]) * a));
        }
    }
}

void applyLight(QImage &picture, const SceneLight &light, uint32_t seed)
{
    if (light.brightness == 1.0 && light.noise <= 0.0)
        return;
    std::array<uchar, 256> scaled{};
    for (int v = 0; v < 256; ++v)
        scaled[static_cast<size_t>(v)] =
            static_cast<uchar>(std::clamp<long>(std::lround(v * light.brightness), 0, 255));

    const std::vector<float> &normal = normalTable();
    const size_t mask = normal.size() - 1;
    std::mt19937 random(seed * 747796405u + 2891336453u);
    size_t at = random() & mask;
    const size_t stride = (random() & mask) | 1u; // odd: walks the whole table
    const auto sigma = static_cast<float>(light.noise);
    const int step = bytesPerPixel(picture);
    for (int y = 0; y < picture.height(); ++y) {
        uchar *row = picture.scanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            uchar *p = row + x * step;
            for (int c = 0; c < 3; ++c) {
                float v = scaled[p[c]];
                if (sigma > 0.0f) {
                    v += sigma * normal[at];
                    at = (at + stride) & mask;
                }
                p[c] = static_cast<uchar>(std::clamp(std::lround(v), 0L, 255L));
            }
        }
    }
}

} // namespace skelvin
