#pragma once

#include <QImage>

namespace skelvin {

// The frame number a simulated frame carries: 16 blocks of 8 x 8 pixels along the top edge from
// the top-left corner, white for 1 and black for 0, most significant bit first. Numbers are
// taken modulo 65536.
inline constexpr int kFrameStripBlocks = 16;
inline constexpr int kFrameStripBlockPixels = 8;

void drawFrameNumberStrip(QImage &picture, int frameNumber);

// Reads the strip back from the middle of each block (a 4 x 4 patch, brightness threshold half
// way), so it survives Motion JPEG. -1 for a picture too small to hold the strip.
int readFrameNumberStrip(const QImage &picture);

} // namespace skelvin
