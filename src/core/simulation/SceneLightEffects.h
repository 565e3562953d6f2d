#pragma once

#include "core/simulation/SimulatedScene.h"

#include <QImage>

#include <cstdint>

namespace skelvin {

// The sun's sparkles on the water below firstWaterRow: small bright specks, a few thousand on
// a 1280 x 720 picture at strength 1, at places that change with every seed. Format_RGB32 or
// Format_RGB888 pictures.
void drawGlints(QImage &picture, int firstWaterRow, double strength, uint32_t seed);

// The light of the day on a finished picture: every value scaled by the brightness, then the
// sensor's noise added, independently per pixel and colour, drawn afresh for every seed. Does
// nothing for the usual light without noise.
void applyLight(QImage &picture, const SceneLight &light, uint32_t seed);

} // namespace skelvin
