#include "core/frames/MeasuredSideFile.h"

#include "core/common/DelimitedFields.h"
#include "core/common/NumberText.h"
#include "core/common/TextFile.h"

#include <QFileInfo>

namespace skelvin {

const QString MeasuredSideFile::kWarningTitle = QStringLiteral("Start Already Measured Warning");

QString MeasuredSideFile::pathFor(const QString &videoPath)
{
    return videoPath + QStringLiteral(".info");
}

std::optional<int> MeasuredSideFile::measuredFrame(const QString &videoPath)
{
    const QString path = pathFor(videoPath);
    if (videoPath.isEmpty() || !QFileInfo(path).isFile())
        return std::nullopt;
    const Result<QStringList> lines = readTextLines(path);
    if (!lines || lines.value().isEmpty())
        return std::nullopt;
    const QStringList fields = splitDelimitedFields(lines.value().first());
    return wholeNumber(Val(fields.value(1)));
}

QString MeasuredSideFile::contactWarning(int frame)
{
    return QStringLiteral("File already measured - contact frame is ") + Str(frame);
}

QString MeasuredSideFile::startWarning(int frame)
{
    return QStringLiteral("File already measured - start frame is ") + Str(frame);
}

} // namespace skelvin
