#include "core/capture/AudioAttributes.h"

#include "core/common/NumberText.h"

#include <cmath>

namespace skelvin {

QStringList audioAttributeItems()
{
    QStringList items;
    for (const char *rate : {"11.025", "22.050", "32.000", "44.100"})
        for (const char *bits : {"8", "16"})
            for (const char *channels : {"Mono", "Stereo"})
                items << QStringLiteral("%1 Khz, %2 Bit, %3")
                             .arg(QLatin1String(rate), QLatin1String(bits),
                                  QLatin1String(channels));
    return items;
}

AudioFormatChoice audioFormatOfItem(int index, const QString &text)
{
    AudioFormatChoice choice;
    const int blank = text.indexOf(QLatin1Char(' '));
    if (blank > 0)
        choice.sampleRate = static_cast<int>(std::lround(Val(text.left(blank)) * 1000.0));
    choice.channels = (index & 1) ? 2 : 1;
    choice.bitsPerSample = (index & 2) ? 16 : 8;
    return choice;
}

AudioFormatChoice audioFormatToSet(int index, const QString &text, int currentSampleRate)
{
    AudioFormatChoice choice = audioFormatOfItem(index, text);
    if (choice.sampleRate <= 0)
        choice.sampleRate = currentSampleRate;
    return choice;
}

int audioItemOf(const QStringList &items, const QString &formatText)
{
    for (int i = 0; i < items.size(); ++i)
        if (items.at(i).compare(formatText, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString audioFormatText(int sampleRate, int bitsPerSample, int channels)
{
    return QString::number(sampleRate / 1000.0, 'f', 3) + QStringLiteral(" Khz, ") +
           (bitsPerSample == 8 ? QStringLiteral("8") : QStringLiteral("16")) +
           QStringLiteral(" bit, ") +
           (channels == 1 ? QStringLiteral("Mono") : QStringLiteral("Stereo"));
}

} // namespace skelvin
