#pragma once

#include <QString>

namespace skelvin {

// The lead-up playback of frame selection: the seconds of video before the chosen frame,
// played once or a few times so the operator sees the skier come down before contact. The
// timer that ends each playback runs 300 ms longer than the span, so the last frame stays on
// show a moment before the next repeat starts again.
class LeadUpPlayback
{
public:
    struct Span
    {
        int fromFrame = 0;
        int toFrame = 0;
        // What the interval box shows: whole part of (seconds x 1000 + 300).
        int shownIntervalMs = 0;
        // What the timer runs: the shown interval, or for a lead-up reaching back to the first
        // frame, the time from frame 0 to the chosen frame plus 300 ms.
        int timerMs = 0;
    };

    // The span ending at `startFrame` that `leadSeconds` of video at `frameRate` reach back to.
    // A lead-up that would start at frame 1 or earlier starts at 0; a lead-up to frame 0 ends
    // at frame 1, so there is always something to play.
    static Span span(int startFrame, double leadSeconds, double frameRate);

    // The seconds box keeps within 1 to 5: the text to put back into it, or the same text when
    // it is within.
    static QString leadSecondsWithinLimits(const QString &text);

    // Starts a lead-up that plays `repeats` times (at least once).
    void start(const Span &span, int repeats);
    bool playing() const { return m_playing; }
    const Span &currentSpan() const { return m_span; }
    // One timer tick: true when the span is to be played again, false when the lead-up is over.
    bool tick();
    void cancel() { m_playing = false; }

private:
    Span m_span;
    int m_repeatsLeft = 0;
    bool m_playing = false;
};

} // namespace skelvin
