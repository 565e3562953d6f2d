#pragma once

#include "core/capture/shared/CaptureTypes.h"

#include <QString>

#include <functional>

namespace skelvin {

class VideoPump;

// The capture control's video effects: the effects of the one group there is (FFmpeg filter
// graphs, listed by `VideoEffectFilter`), the one chosen, and the picture step that runs it on
// the device thread, so the preview, still grabs and recordings all show it.
class CaptureEffects
{
public:
    int count(const QString &group) const;
    QString name(const QString &group, int index) const;
    int find(const QString &group, const QString &name) const;
    // -1: none.
    int current() const { return m_effect; }

    // Chooses effect `id` of `group` (-1: none); while `recording`, only the one chosen.
    CaptureFailure choose(const QString &group, int id, bool recording);

    // The chosen effect as `pump`'s picture step (none: the step removed). A graph that cannot
    // be built for the camera's format is told through `warning`, from the device thread, and
    // the frame is left out.
    void install(VideoPump &pump, std::function<void(const QString &)> warning) const;

private:
    int m_effect = -1;
};

} // namespace skelvin
