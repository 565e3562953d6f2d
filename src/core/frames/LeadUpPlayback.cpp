#include "core/frames/LeadUpPlayback.h"

#include "core/common/NumberText.h"

#include <cmath>

namespace skelvin {

LeadUpPlayback::Span LeadUpPlayback::span(int startFrame, double leadSeconds, double frameRate)
{
    Span s;
    s.shownIntervalMs = int(Int(leadSeconds * 1000 + 300));
    s.timerMs = s.shownIntervalMs;
    s.toFrame = startFrame == 0 ? 1 : startFrame;
    // Without a known frame rate the whole video up to the frame is the lead-up.
    const double lead = frameRate > 0 ? startFrame - leadSeconds * frameRate : 0;
    if (lead <= 1) {
        s.fromFrame = 0;
        if (frameRate > 0)
            s.timerMs = int(roundHalfEven(startFrame / frameRate * 1000 + 300));
    } else {
        s.fromFrame = int(std::lround(lead));
    }
    return s;
}

QString LeadUpPlayback::leadSecondsWithinLimits(const QString &text)
{
    const double seconds = Val(text);
    if (seconds < 1)
        return QStringLiteral("1");
    if (seconds > 5)
        return QStringLiteral("5");
    return text;
}

void LeadUpPlayback::start(const Span &span, int repeats)
{
    m_span = span;
    m_repeatsLeft = repeats;
    m_playing = true;
}

bool LeadUpPlayback::tick()
{
    --m_repeatsLeft;
    if (m_repeatsLeft < 1) {
        m_playing = false;
        return false;
    }
    return true;
}

} // namespace skelvin
