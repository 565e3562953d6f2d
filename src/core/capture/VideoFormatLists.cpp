#include "core/capture/VideoFormatLists.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace skelvin {

void VideoFormatLists::setOffers(std::vector<VideoFormatOffer> offers)
{
    m_offers = std::move(offers);
    m_pixelFormatIndex = 0;
    fill();
}

void VideoFormatLists::clear()
{
    m_offers.clear();
    fill();
}

void VideoFormatLists::chooseColourFormat(int index)
{
    m_pixelFormatIndex = index;
    fill();
}

QSize VideoFormatLists::size(int index) const
{
    return index >= 0 && index < sizeCount() ? m_sizes[std::size_t(index)] : QSize();
}

// The colour formats in the device's order; the sizes of the chosen colour format.
void VideoFormatLists::fill()
{
    m_pixelFormats.clear();
    m_pixelFormatNames.clear();
    for (const VideoFormatOffer &offer : m_offers) {
        if (!m_pixelFormats.contains(offer.pixelFormat)) {
            m_pixelFormats << offer.pixelFormat;
            m_pixelFormatNames << (offer.description.isEmpty() ? offer.pixelFormat
                                                               : offer.description);
        }
    }
    if (m_pixelFormats.isEmpty()) {
        m_pixelFormatIndex = -1;
        m_sizes.clear();
        m_sizeIndex = -1;
        return;
    }
    m_pixelFormatIndex = std::clamp(m_pixelFormatIndex, 0, int(m_pixelFormats.size()) - 1);
    const QSize wasSize = size(m_sizeIndex);
    m_sizes.clear();
    for (const VideoFormatOffer &offer : m_offers) {
        if (offer.pixelFormat == m_pixelFormats[m_pixelFormatIndex] &&
            std::find(m_sizes.begin(), m_sizes.end(), offer.size) == m_sizes.end())
            m_sizes.push_back(offer.size);
    }
    const auto kept = std::find(m_sizes.begin(), m_sizes.end(), wasSize);
    m_sizeIndex = kept != m_sizes.end() ? int(kept - m_sizes.begin()) : 0;
}

VideoFormat VideoFormatLists::format(double framesPerSecond) const
{
    VideoFormat format;
    if (m_pixelFormatIndex >= 0 && m_sizeIndex >= 0) {
        format.pixelFormat = m_pixelFormats[m_pixelFormatIndex];
        format.size = m_sizes[std::size_t(m_sizeIndex)];
    }
    format.framesPerSecond = framesPerSecond;
    return format;
}

double VideoFormatLists::nearestRate(double wanted) const
{
    const VideoFormat chosen = format(wanted);
    double best = wanted;
    double bestDistance = -1;
    for (const VideoFormatOffer &offer : m_offers) {
        if (offer.pixelFormat != chosen.pixelFormat || offer.size != chosen.size)
            continue;
        for (const double rate : offer.framesPerSecond) {
            const double distance = std::abs(rate - wanted);
            if (bestDistance < 0 || distance < bestDistance - 1e-9) {
                best = rate;
                bestDistance = distance;
            }
        }
    }
    return best;
}

int VideoFormatLists::nearestSize(QSize wanted) const
{
    if (m_sizes.empty())
        return -1;
    int best = 0;
    const auto distance = [&](QSize s) {
        return std::abs(qint64(s.width()) * s.height() - qint64(wanted.width()) * wanted.height()) +
               std::abs(s.width() - wanted.width()) + std::abs(s.height() - wanted.height());
    };
    for (int i = 1; i < sizeCount(); ++i) {
        if (distance(m_sizes[std::size_t(i)]) < distance(m_sizes[std::size_t(best)]))
            best = i;
    }
    return best;
}

} // namespace skelvin
