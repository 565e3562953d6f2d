// The core subsystems stand in layers: each includes only the ones below it, and nothing in the
// core includes a screen. This reads every #include line of src/core and names each that breaks
// the order, so a cycle is caught in the change that makes it.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>

#include <gtest/gtest.h>

#include <map>

namespace {

// Lowest first; subsystems of one level may not include each other. Keep in step with
// src/core/README.md.
const std::map<QString, int> kLevels = {
    {QStringLiteral("common"), 0},   {QStringLiteral("logs"), 1},
    {QStringLiteral("geometry"), 2}, {QStringLiteral("frames"), 3},
    {QStringLiteral("vision"), 3},
    {QStringLiteral("capture"), 4},  {QStringLiteral("grid_setup"), 5},
    {QStringLiteral("measure"), 5},  {QStringLiteral("app"), 6},
};

QString coreDir()
{
    return QStringLiteral(SKELVIN_SOURCE_DIR "/src/core");
}

QStringList below(int level)
{
    QStringList names;
    for (const auto &[name, l] : kLevels)
        if (l < level)
            names << name;
    return names;
}

// Every fault in one file: "path:line includes X: why".
QStringList faultsOf(const QString &filePath, const QString &subsystem)
{
    QStringList faults;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        faults << filePath + QStringLiteral(": cannot be read");
        return faults;
    }
    static const QRegularExpression include(QStringLiteral(R"re(^\s*#\s*include\s*"([^"]+)")re"));
    const int level = kLevels.at(subsystem);
    const QString shown = QDir(QStringLiteral(SKELVIN_SOURCE_DIR)).relativeFilePath(filePath);
    QTextStream in(&file);
    for (int lineNo = 1; !in.atEnd(); ++lineNo) {
        const QRegularExpressionMatch m = include.match(in.readLine());
        if (!m.hasMatch())
            continue;
        const QString target = m.captured(1);
        const QString where =
            QStringLiteral("%1:%2 includes %3: ").arg(shown).arg(lineNo).arg(target);
        const QStringList parts = target.split(QLatin1Char('/'));
        if (parts.first() == QLatin1String("ui") || parts.first() == QLatin1String("app") ||
            parts.first() == QLatin1String("tool")) {
            faults << where + QStringLiteral(
                                  "the core never includes screens, the program or the tool");
            continue;
        }
        if (parts.first() != QLatin1String("core") || parts.size() < 3)
            continue; // a library header, or one beside the file
        const QString to = parts.at(1);
        const auto it = kLevels.find(to);
        if (it == kLevels.end())
            faults << where + QStringLiteral("\"%1\" is not in the layer list").arg(to);
        else if (to != subsystem && it->second >= level)
            faults << where + QStringLiteral("%1 may include only %2")
                                  .arg(subsystem, below(level).join(QStringLiteral(", ")));
    }
    return faults;
}

TEST(IncludeLayers, EverySubsystemIsInTheLayerList)
{
    const QStringList folders = QDir(coreDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_FALSE(folders.isEmpty()) << coreDir().toStdString();
    for (const QString &folder : folders)
        EXPECT_TRUE(kLevels.count(folder))
            << "src/core/" << folder.toStdString() << " has no place in the layer list";
}

TEST(IncludeLayers, NoSubsystemIncludesOneAboveItOrAScreen)
{
    QStringList faults;
    int files = 0;
    for (const auto &[subsystem, level] : kLevels) {
        QDirIterator it(coreDir() + QLatin1Char('/') + subsystem,
                        {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            faults << faultsOf(it.next(), subsystem);
            ++files;
        }
    }
    EXPECT_GT(files, 50);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

} // namespace
