#include "core/capture/CaptureEffects.h"

#include "core/capture/VideoPump.h"
#include "core/capture/recording/VideoEffectFilter.h"

#include <memory>

namespace skelvin {

int CaptureEffects::count(const QString &group) const
{
    return group == kVideoEffectGroup ? int(VideoEffectFilter::effectNames().size()) : 0;
}

QString CaptureEffects::name(const QString &group, int index) const
{
    return group == kVideoEffectGroup ? VideoEffectFilter::effectNames().value(index) : QString();
}

int CaptureEffects::find(const QString &group, const QString &name) const
{
    return group == kVideoEffectGroup ? int(VideoEffectFilter::effectNames().indexOf(name)) : -1;
}

CaptureFailure CaptureEffects::choose(const QString &group, int id, bool recording)
{
    if (group != kVideoEffectGroup || id < -1 || id >= count(group))
        return CaptureError{capture_error::kBadValue,
                            QStringLiteral("There is no effect %1").arg(id)};
    if (recording && id != m_effect)
        return CaptureError{capture_error::kBusyRecording,
                            QStringLiteral("A recording is running")};
    m_effect = id;
    return std::nullopt;
}

void CaptureEffects::install(VideoPump &pump, std::function<void(const QString &)> warning) const
{
    if (m_effect < 0) {
        pump.setPictureStep({});
        return;
    }
    struct EffectState
    {
        VideoEffectFilter filter;
        QSize size;
        int format = -1;
        bool failed = false;
    };
    auto state = std::make_shared<EffectState>();
    const int id = m_effect;
    pump.setPictureStep(
        [warning = std::move(warning), state, id](const AVFrame &picture) -> ffmpeg::Frame {
            const QSize size(picture.width, picture.height);
            if (size != state->size || picture.format != state->format) {
                // The first frame, or the camera's format changed: the graph is built for it.
                state->size = size;
                state->format = picture.format;
                const Failure failed = state->filter.configure(id, size, picture.format);
                state->failed = failed.has_value();
                if (failed)
                    warning(*failed);
            }
            if (state->failed)
                return nullptr;
            QString error;
            return state->filter.apply(picture, error);
        });
}

} // namespace skelvin
