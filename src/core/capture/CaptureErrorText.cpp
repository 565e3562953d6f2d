#include "core/capture/CaptureErrorText.h"

#include "core/common/Prompter.h"

namespace skelvin {

QString captureErrorText(const CaptureError &error, ErrorNumberBase base, const QString &prefix)
{
    const QString number = base == ErrorNumberBase::Hexadecimal
                               ? QString::number(static_cast<quint32>(error.code), 16).toUpper()
                               : QString::number(error.code);
    return prefix + number + QLatin1Char(' ') + error.description;
}

void informCaptureError(Prompter &prompter, const CaptureError &error, ErrorNumberBase base,
                        const QString &prefix)
{
    prompter.inform(captureErrorText(error, base, prefix), MessageIcon::None,
                    QStringLiteral("Error"));
}

} // namespace skelvin
