#include "core/frames/mmInfo.h"

#include "core/common/NumberText.h"
#include "core/common/Prompter.h"
#include "core/frames/FrameMessages.h"
#include "core/frames/RiffAviReader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace skelvin::mmInfo {

namespace {

using namespace frame_messages;

void tell(Prompter &prompter, const QString &text, MessageIcon icon)
{
    prompter.inform(text, icon, kApplicationTitle);
}

// Opens the file for reading, telling the operator why when it does not open.
bool openForReading(QFile &file, Prompter &prompter)
{
    if (!QFileInfo::exists(file.fileName())) {
        tell(prompter, withPath(kFileDoesNotExist, file.fileName()), MessageIcon::Critical);
        return false;
    }
    if (file.open(QIODevice::ReadOnly) && !QFileInfo(file.fileName()).isDir())
        return true;
    if (file.error() == QFileDevice::PermissionsError)
        tell(prompter, withPath(kFileIsLocked, file.fileName()), MessageIcon::Critical);
    else
        tell(prompter, file.errorString(), MessageIcon::Information);
    return false;
}

bool capsBit(const QString &path, std::uint32_t bit, Prompter &prompter)
{
    AviFileInfo info;
    return ReadAviFileInfo(path, &info, prompter) && (info.caps & bit) != 0;
}

bool flagBit(const QString &path, std::uint32_t bit, Prompter &prompter)
{
    AviFileInfo info;
    return ReadAviFileInfo(path, &info, prompter) && (info.flags & bit) != 0;
}

std::int32_t field(const QString &path, std::uint32_t AviFileInfo::*member, Prompter &prompter)
{
    AviFileInfo info;
    return ReadAviFileInfo(path, &info, prompter) ? std::int32_t(info.*member) : 0;
}

QString trueFalse(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

bool IsAviFile(const QString &path, Prompter &prompter)
{
    QFile file(path);
    if (!openForReading(file, prompter))
        return false;
    const QByteArray head = file.read(12);
    return head.size() == 12 && head.startsWith("RIFF") && head.mid(8, 4) == "AVI ";
}

bool ReadAviFileInfo(const QString &path, AviFileInfo *info, Prompter &prompter)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || QFileInfo(path).isDir()) {
        tell(prompter, withPath(kUnableToOpen, path), MessageIcon::Critical);
        return false;
    }
    RiffAviReader reader(file);
    const Result<AviFileInfo> read = reader.read();
    if (!read) {
        tell(prompter, withPath(kUnableToReadInfo, path), MessageIcon::Critical);
        return false;
    }
    *info = read.value();
    if (QFileInfo(path).isWritable())
        info->caps |= kAviCapsCanWrite;
    return true;
}

std::int32_t AviWidth(const QString &path, Prompter &prompter)
{
    return field(path, &AviFileInfo::width, prompter);
}

std::int32_t AviHeight(const QString &path, Prompter &prompter)
{
    return field(path, &AviFileInfo::height, prompter);
}

std::int32_t AviLength(const QString &path, Prompter &prompter)
{
    return field(path, &AviFileInfo::length, prompter);
}

std::int32_t frameRateOf(const AviFileInfo &info)
{
    if (info.scale == 0)
        return 0;
    // Both come from the file: a damaged header can give a rate beyond any int.
    return wholeNumber(roundHalfEven(double(info.rate) / double(info.scale)));
}

std::int32_t AviFrameRate(const QString &path, Prompter &prompter)
{
    AviFileInfo info;
    return ReadAviFileInfo(path, &info, prompter) ? frameRateOf(info) : 0;
}

QString AviFileType(const QString &path, Prompter &prompter)
{
    AviFileInfo info;
    return ReadAviFileInfo(path, &info, prompter) ? info.fileType : QString();
}

bool AviIsCompressed(const QString &path, Prompter &prompter)
{
    AviFileInfo info;
    return ReadAviFileInfo(path, &info, prompter) && (info.caps & kAviCapsNoCompression) == 0;
}

bool AviAllKeyFrames(const QString &path, Prompter &prompter)
{
    return capsBit(path, kAviCapsAllKeyFrames, prompter);
}

bool AviCanRead(const QString &path, Prompter &prompter)
{
    return capsBit(path, kAviCapsCanRead, prompter);
}

bool AviCanWrite(const QString &path, Prompter &prompter)
{
    return capsBit(path, kAviCapsCanWrite, prompter);
}

bool AviHasIndex(const QString &path, Prompter &prompter)
{
    return flagBit(path, kAviFlagHasIndex, prompter);
}

bool AviMustUseIndex(const QString &path, Prompter &prompter)
{
    return flagBit(path, kAviFlagMustUseIndex, prompter);
}

bool AviIsCopyrighted(const QString &path, Prompter &prompter)
{
    return flagBit(path, kAviFlagCopyrighted, prompter);
}

bool AviWasCaptureFile(const QString &path, Prompter &prompter)
{
    return flagBit(path, kAviFlagWasCaptureFile, prompter);
}

bool AviIsInterleaved(const QString &path, Prompter &prompter)
{
    return flagBit(path, kAviFlagIsInterleaved, prompter);
}

QStringList fileInfoLines(const QString &path, const AviFileInfo &info)
{
    const auto caps = [&](std::uint32_t bit) { return trueFalse((info.caps & bit) != 0); };
    const auto flag = [&](std::uint32_t bit) { return trueFalse((info.flags & bit) != 0); };
    return {
        QStringLiteral("Filename: ") + path,
        QStringLiteral("File Type: ") + info.fileType,
        QStringLiteral("Height: ") + QString::number(info.height),
        QStringLiteral("Width: ") + QString::number(info.width),
        QStringLiteral("Length: ") + QString::number(info.length) + QStringLiteral(" frames"),
        QStringLiteral("Rate: ") + QString::number(frameRateOf(info)) + QStringLiteral("fps"),
        QStringLiteral("=== dwCaps ==="),
        QStringLiteral("Compressed: ") + trueFalse((info.caps & kAviCapsNoCompression) == 0),
        QStringLiteral("All Key Frames: ") + caps(kAviCapsAllKeyFrames),
        QStringLiteral("Can Read: ") + caps(kAviCapsCanRead),
        QStringLiteral("Can Write: ") + caps(kAviCapsCanWrite),
        QStringLiteral("=== dwFlags ==="),
        QStringLiteral("Contains Copyright Info: ") + flag(kAviFlagCopyrighted),
        QStringLiteral("Capture File: ") + flag(kAviFlagWasCaptureFile),
        QStringLiteral("Has Index: ") + flag(kAviFlagHasIndex),
        QStringLiteral("Must Use Index: ") + flag(kAviFlagMustUseIndex),
        QStringLiteral("Interleaved: ") + flag(kAviFlagIsInterleaved),
    };
}

} // namespace skelvin::mmInfo
