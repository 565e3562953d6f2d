#pragma once

#include "core/capture/shared/CaptureTypes.h"
#include "core/capture/CaptureErrorText.h"

#include <QString>
#include <QStringList>

namespace skelvin {

class CaptureDevice;
class Prompter;

// The lists of the capture panel: what each shows and which item it selects.

// A list's items and the item it selects (-1: none).
struct ListChoice
{
    QStringList items;
    int selected = -1;
};

// What the device list shows when there is no camera.
inline const QString kNoCaptureDevicesText = QStringLiteral("No Capture Devices");
// The first item of the lists in which the device may have no choice (sound, compressors,
// effects): item i + 1 is the device's choice i, "None" its choice -1.
inline const QString kNoneItemText = QStringLiteral("None");

// The names the device gives for indexes 0 to count - 1 through one of its name operations.
QStringList deviceNames(const CaptureDevice &device, int count,
                        QString (CaptureDevice::*name)(int) const);

// A stored choice where it is an item of a list of `count`; otherwise `fallback`. A stored
// index comes from the settings and may name a device or format that has since gone.
int storedChoice(int stored, int count, int fallback);

// The video device list at start-up: "No Capture Devices" alone without a camera; otherwise
// the cameras, with the stored one chosen (the first where the stored one is gone). The
// simulated camera, when it runs, is the last device and is always chosen.
ListChoice videoDeviceChoice(const QStringList &names, int storedIndex, bool simulatedCamera);

// A list with "None" first, selecting the device's choice (-1 selects "None").
ListChoice noneFirstChoice(const QStringList &names, int deviceChoice);

// The tuner's channels, minChannel to maxChannel, selecting the current one.
ListChoice channelChoice(int minChannel, int maxChannel, int currentChannel);

// The compressor selected after the start-up's Connect: the stored choice where it is an item;
// without one the first compressor after "None", so a recording is never uncompressed (far
// more than a disk takes at a camera's rate) unless the operator chose so.
int compressorAtStartup(int storedItem, int itemCount);

// Gives the device the choice made in a list unless it holds it already (choosing the item on
// show again asks nothing of the device). A refusal is told to the operator; true when the
// device holds the choice.
bool applyDeviceChoice(CaptureDevice &device, Prompter &prompter, int current, int wanted,
                       CaptureFailure (CaptureDevice::*set)(int),
                       const QString &errorPrefix = kErrorCodePrefix);

} // namespace skelvin
