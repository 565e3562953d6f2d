#pragma once

#include "core/capture/shared/CaptureTypes.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

namespace skelvin {

// The picture formats a connected camera offers, as the capture control's lists show them: its
// colour formats in the device's order and the sizes of the chosen one, and the frame rate and
// size it offers nearest to one asked for. Empty while no camera is connected.
class VideoFormatLists
{
public:
    // A newly connected camera's offers, its first colour format chosen.
    void setOffers(std::vector<VideoFormatOffer> offers);
    void clear();

    int colourFormatCount() const { return int(m_pixelFormats.size()); }
    // What the list shows: the device's own words, else FFmpeg's name.
    QString colourFormatName(int index) const { return m_pixelFormatNames.value(index); }
    int colourFormat() const { return m_pixelFormatIndex; }
    // The index of the colour format FFmpeg calls `pixelFormat` ("mjpeg", ...); -1: not offered.
    int colourFormatIndex(const QString &pixelFormat) const
    {
        return int(m_pixelFormats.indexOf(pixelFormat));
    }
    // A colour format in range; the size chosen before is kept when it is offered in the new
    // colour format, else the first size of it.
    void chooseColourFormat(int index);

    int sizeCount() const { return int(m_sizes.size()); }
    // Empty for an index out of range.
    QSize size(int index) const;
    int sizeIndex() const { return m_sizeIndex; }
    void chooseSize(int index) { m_sizeIndex = index; }

    // The chosen colour format and size at `framesPerSecond`; no pixel format and an empty size
    // while nothing is offered.
    VideoFormat format(double framesPerSecond) const;
    // The rate offered for the chosen colour format and size nearest to `wanted`; `wanted`
    // itself when none is offered.
    double nearestRate(double wanted) const;
    // The size nearest to `wanted` in area, then in its sides; -1 with no sizes.
    int nearestSize(QSize wanted) const;

private:
    void fill();

    std::vector<VideoFormatOffer> m_offers;
    std::vector<QSize> m_sizes;
    QStringList m_pixelFormats;     // FFmpeg names
    QStringList m_pixelFormatNames; // what the list shows
    int m_sizeIndex = -1;
    int m_pixelFormatIndex = -1;
};

} // namespace skelvin
