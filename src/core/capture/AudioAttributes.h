#pragma once

#include <QString>
#include <QStringList>

namespace skelvin {

// The audio formats the capture panel offers ("Attributes:"), index 0 to 15: bit 0 of the index
// selects stereo, bit 1 sixteen bits; the sample rate is read from the text.
QStringList audioAttributeItems();

struct AudioFormatChoice
{
    int sampleRate = 0; // 0 when the text gives none
    int channels = 1;
    int bitsPerSample = 8;
};

// The format an item of the list sets: the rate from its text ("22.050 Khz, ..." gives 22050, when
// the text's first blank comes after its first character), the channels and bits from the index.
AudioFormatChoice audioFormatOfItem(int index, const QString &text);

// The format choosing an item sets on the control: the item's rate, or the control's own
// (`currentSampleRate`) where the item names none, so a rate of 0 is never asked for.
AudioFormatChoice audioFormatToSet(int index, const QString &text, int currentSampleRate);

// How the list names a format: "48.000 Khz, 16 bit, Stereo".
QString audioFormatText(int sampleRate, int bitsPerSample, int channels);

// The item of `items` that names the format `formatText` ("44.100 Khz, 16 bit, Stereo" names
// the offered "44.100 Khz, 16 Bit, Stereo": case does not count); -1 when none does, and the
// list then takes the format as an item of its own.
int audioItemOf(const QStringList &items, const QString &formatText);

} // namespace skelvin
