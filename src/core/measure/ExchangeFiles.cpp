#include "core/measure/ExchangeFiles.h"

#include "core/common/DelimitedFields.h"
#include "core/common/Paths.h"
#include "core/common/Prompter.h"
#include "core/common/TextFile.h"

#include <QDir>
#include <QFile>

namespace skelvin {

const QString ExchangeFiles::kResultFile = QStringLiteral("qvresult.dst");
const QString ExchangeFiles::kRawFile = QStringLiteral("qvraw.dst");
const QString ExchangeFiles::kSkierNameFile = QStringLiteral("qvskier.nam");
const QString ExchangeFiles::kFlagFile = QStringLiteral("clipflag.txt");
const QString ExchangeFiles::kSnapshotFile = QStringLiteral("snapshot.bmp");
const QString ExchangeFiles::kWriteErrorText = QStringLiteral("Error while writing WSTIMS result: ");
const QString ExchangeFiles::kNameErrorText = QStringLiteral("Error while reading WSTIMS name file: ");
const QString ExchangeFiles::kSnapshotWarning =
    QStringLiteral("Warning, snapshot file has not been saved in the \\qvio directory");

ExchangeFiles::ExchangeFiles(QString exchangeDir) : m_dir(std::move(exchangeDir)) {}

QString ExchangeFiles::file(const QString &name) const
{
    return joinPath(m_dir, name);
}

QString ExchangeFiles::snapshotPath() const
{
    return file(kSnapshotFile);
}

Failure ExchangeFiles::writeResult(const QString &statusLine, const QString &rawLine) const
{
    if (Failure failure = writeTextLines(file(kResultFile), {statusLine}))
        return failure;
    return appendTextLines(file(kRawFile), {rawLine});
}

Result<QString> ExchangeFiles::firstField(const QString &name) const
{
    const Result<QStringList> lines = readTextLines(file(name));
    if (!lines)
        return Result<QString>::failure(lines.error());
    if (lines->isEmpty())
        return Result<QString>::failure(file(name) + QStringLiteral(": the file is empty"));
    QString line = lines->first();
    if (line.startsWith(QChar(0xFEFF))) // a byte order mark left by a Windows editor
        line.remove(0, 1);
    return splitDelimitedFields(line).value(0);
}

std::optional<QString> ExchangeFiles::readSkierName(Prompter &prompter) const
{
    Result<QString> name = firstField(kSkierNameFile);
    // An empty name would give the next video a name without a skier: refuse it like a
    // file that cannot be read.
    if (name && name->trimmed().isEmpty())
        name = Result<QString>::failure(file(kSkierNameFile) + QStringLiteral(": the file holds no skier name"));
    if (!name) {
        prompter.inform(kNameErrorText + name.error());
        return std::nullopt;
    }
    return name.value();
}

bool ExchangeFiles::pictureReady() const
{
    const Result<QString> flag = firstField(kFlagFile);
    return flag && flag.value() == QStringLiteral("Ready");
}

Failure ExchangeFiles::clearPictureFlag() const
{
    return writeTextLines(file(kFlagFile), {QStringLiteral("  ")});
}

void ExchangeFiles::deletePictures() const
{
    const QDir dir(m_dir);
    if (m_dir.isEmpty() || !dir.exists())
        return;
    // Name filters match without regard to case, as the scoring program's pictures may be
    // named "*.BMP".
    const QStringList pictures = dir.entryList({QStringLiteral("*.bmp")}, QDir::Files | QDir::Hidden);
    for (const QString &picture : pictures)
        QFile::remove(dir.filePath(picture));
}

QString ExchangeResultLine(ExchangeStatus status, const QString &metresText,
                           const QString &feetText, const QString &jumpNoText)
{
    switch (status) {
    case ExchangeStatus::Fall:
        return QStringLiteral("Fall, 0, 0,") + jumpNoText;
    case ExchangeStatus::Pass:
        return QStringLiteral("Pass, 0, 0,") + jumpNoText;
    case ExchangeStatus::Ok:
        break;
    }
    return QStringLiteral("OK, ") + metresText + QStringLiteral(", ") + feetText
           + QStringLiteral(", ") + jumpNoText;
}

QString ExchangeRawLine(const QString &timeText, const QString &skierName,
                        const QString &statusLine)
{
    const qsizetype comma = skierName.indexOf(QLatin1Char(','));
    const QString name = comma < 0 ? skierName : skierName.left(comma);
    return timeText + QStringLiteral(" ,") + name + QLatin1Char(',') + statusLine;
}

} // namespace skelvin
