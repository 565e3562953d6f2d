#pragma once

#include "core/capture/shared/CaptureTypes.h"

#include <QString>

namespace skelvin {

class Prompter;

// How the error number of a capture failure is written: the control's error numbers
// (0x8004....) read best in hexadecimal, as a connect or a recording reports them.
enum class ErrorNumberBase { Decimal, Hexadecimal };

// The words before the number, as operators have always seen them in the capture messages.
inline const QString kErrorCodePrefix = QStringLiteral("Eror code: ");

// "Eror code: 80040002 Camera A is in use by another program": the prefix, the number
// (hexadecimal in capitals, as an unsigned 32-bit value, or decimal) and the description.
QString captureErrorText(const CaptureError &error, ErrorNumberBase base,
                         const QString &prefix = kErrorCodePrefix);

// Tells the operator of a capture failure in a box titled "Error" without an icon.
void informCaptureError(Prompter &prompter, const CaptureError &error, ErrorNumberBase base,
                        const QString &prefix = kErrorCodePrefix);

} // namespace skelvin
