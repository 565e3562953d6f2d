#include "core/grid_setup/GridSetupFile.h"

#include "core/common/DelimitedFields.h"
#include "core/common/NumberText.h"
#include "core/common/TextFile.h"

namespace skelvin {

namespace {

const QString kFirstLinePrefix = QStringLiteral("Initialization Points for file: ");

QString cornerLine(const CornerBuoy &c)
{
    return printedNumber(c.screen.x) + QLatin1Char(',') + printedNumber(c.screen.y)
           + QLatin1Char(',') + printedNumber(c.survey.x) + QLatin1Char(',')
           + printedNumber(c.survey.y);
}

// Reads the numbers of a file line by line, remembering which line failed.
class NumberLines
{
public:
    explicit NumberLines(const QStringList &lines) : m_lines(lines) {}

    bool line(int lineNumber, int count, double *values)
    {
        if (lineNumber > m_lines.size()) {
            m_error = QStringLiteral("line %1 is missing").arg(lineNumber);
            return false;
        }
        const QStringList fields = splitDelimitedFields(m_lines[lineNumber - 1]);
        if (fields.size() < count) {
            m_error = QStringLiteral("line %1 has %2 field(s) where %3 are needed")
                          .arg(lineNumber).arg(fields.size()).arg(count);
            return false;
        }
        for (int i = 0; i < count; ++i) {
            if (!parseNumberField(fields[i], &values[i])) {
                m_error = QStringLiteral("line %1: \"%2\" is not a number")
                              .arg(lineNumber).arg(fields[i].trimmed());
                return false;
            }
        }
        return true;
    }

    const QString &error() const { return m_error; }

private:
    const QStringList &m_lines;
    QString m_error;
};

template <typename T>
Result<T> readWith(const QString &path, Result<T> (*parse)(const QStringList &))
{
    const Result<QStringList> lines = readTextLines(path);
    if (!lines)
        return Result<T>::failure(lines.error());
    Result<T> parsed = parse(lines.value());
    if (!parsed)
        return Result<T>::failure(path + QStringLiteral(": ") + parsed.error());
    return parsed;
}

} // namespace

QStringList gridSetupFileLines(const QString &path, const Grid &grid, int gridNumber)
{
    QStringList lines;
    lines << kFirstLinePrefix + path << grid.description;
    for (const CornerBuoy &c : grid.corners)
        lines << cornerLine(c);
    for (double c : grid.transform.c)
        lines << printedNumber(c);
    lines << printedNumber(grid.jump.x) << printedNumber(grid.jump.y) << printedNumber(10)
          << printedNumber(2) << printedNumber(gridNumber);
    return lines;
}

Failure writeGridSetupFile(const QString &path, const Grid &grid, int gridNumber)
{
    return writeTextLines(path, gridSetupFileLines(path, grid, gridNumber));
}

Result<GridSetupFileData> parseGridSetupFile(const QStringList &lines)
{
    using R = Result<GridSetupFileData>;
    if (lines.size() < 2)
        return R::failure(lines.isEmpty() ? QStringLiteral("the file is empty")
                                          : QStringLiteral("line 2 is missing"));
    GridSetupFileData data;
    data.savedAs = lines[0].startsWith(kFirstLinePrefix) ? lines[0].mid(kFirstLinePrefix.size())
                                                          : lines[0];
    data.description = lines[1];

    NumberLines numbers(lines);
    for (int i = 0; i < CornerCount; ++i) {
        double v[4];
        if (!numbers.line(3 + i, 4, v))
            return R::failure(numbers.error());
        data.corners[static_cast<size_t>(i)] = CornerBuoy{{v[0], v[1]}, {v[2], v[3]}};
    }
    for (int i = 0; i < 8; ++i) {
        if (!numbers.line(7 + i, 1, &data.transform.c[static_cast<size_t>(i)]))
            return R::failure(numbers.error());
    }
    double tail[5];
    for (int i = 0; i < 5; ++i) {
        if (!numbers.line(15 + i, 1, &tail[i]))
            return R::failure(numbers.error());
    }
    data.jump = {tail[0], tail[1]};
    data.gridNumber = wholeNumber(tail[4]);
    return data;
}

Result<GridSetupFileData> readGridSetupFile(const QString &path)
{
    return readWith<GridSetupFileData>(path, &parseGridSetupFile);
}

QString checkBuoyFilePath(const QString &gridSetupPath)
{
    return gridSetupPath + QStringLiteral(".cb");
}

QStringList checkBuoyFileLines(ScreenPoint screen, const QString &surveyXText,
                               const QString &surveyYText)
{
    return {printedNumber(screen.x), printedNumber(screen.y), surveyXText, surveyYText};
}

Failure writeCheckBuoyFile(const QString &path, ScreenPoint screen, const QString &surveyXText,
                           const QString &surveyYText)
{
    return writeTextLines(path, checkBuoyFileLines(screen, surveyXText, surveyYText));
}

Result<CheckBuoyFileData> parseCheckBuoyFile(const QStringList &lines)
{
    using R = Result<CheckBuoyFileData>;
    NumberLines numbers(lines);
    double screen[2];
    if (!numbers.line(1, 1, &screen[0]) || !numbers.line(2, 1, &screen[1]))
        return R::failure(numbers.error());
    if (lines.size() < 4)
        return R::failure(QStringLiteral("line %1 is missing").arg(lines.size() + 1));

    CheckBuoyFileData data;
    data.screen = {screen[0], screen[1]};
    // The survey lines hold the texts as typed; they are read back as their leading number.
    data.surveyXText = splitDelimitedFields(lines[2]).value(0);
    data.surveyYText = splitDelimitedFields(lines[3]).value(0);
    data.survey = {Val(data.surveyXText), Val(data.surveyYText)};
    return data;
}

Result<CheckBuoyFileData> readCheckBuoyFile(const QString &path)
{
    return readWith<CheckBuoyFileData>(path, &parseCheckBuoyFile);
}

} // namespace skelvin
