#include "core/capture/CaptureListChoices.h"

#include "core/capture/CaptureDevice.h"

namespace skelvin {

QStringList deviceNames(const CaptureDevice &device, int count,
                        QString (CaptureDevice::*name)(int) const)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << (device.*name)(i);
    return names;
}

int storedChoice(int stored, int count, int fallback)
{
    return stored >= 0 && stored < count ? stored : fallback;
}

ListChoice videoDeviceChoice(const QStringList &names, int storedIndex, bool simulatedCamera)
{
    if (names.isEmpty())
        return {{kNoCaptureDevicesText}, 0};
    const int stored = simulatedCamera ? names.size() - 1 : storedIndex;
    return {names, storedChoice(stored, names.size(), 0)};
}

ListChoice noneFirstChoice(const QStringList &names, int deviceChoice)
{
    return {QStringList{kNoneItemText} + names, deviceChoice + 1};
}

ListChoice channelChoice(int minChannel, int maxChannel, int currentChannel)
{
    ListChoice choice;
    for (int c = minChannel; c <= maxChannel; ++c)
        choice.items << QString::number(c);
    choice.selected = currentChannel - minChannel;
    return choice;
}

int compressorAtStartup(int storedItem, int itemCount)
{
    return storedChoice(storedItem, itemCount, itemCount > 1 ? 1 : 0);
}

bool applyDeviceChoice(CaptureDevice &device, Prompter &prompter, int current, int wanted,
                       CaptureFailure (CaptureDevice::*set)(int), const QString &errorPrefix)
{
    if (current == wanted)
        return true;
    if (const CaptureFailure failure = (device.*set)(wanted)) {
        informCaptureError(prompter, *failure, ErrorNumberBase::Decimal, errorPrefix);
        return false;
    }
    return true;
}

} // namespace skelvin
