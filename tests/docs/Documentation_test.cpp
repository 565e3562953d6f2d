#include "core/common/RtfReader.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace skelvin;

namespace {

// The windows the operator meets, by their captions. The operator's guide and the manual shown
// in the program must both name every one, so that neither tells a day the other does not know.
const QStringList kScreenCaptions = {
    QStringLiteral("Skelvin 2005"),
    QStringLiteral("System Configuration Parameters"),
    QStringLiteral("Grid Setup"),
    QStringLiteral("Calibration Assistant"),
    QStringLiteral("Skelvin 2005 Capture Screen"),
    QStringLiteral("Select A Skier"),
    QStringLiteral("Skelvin 2005 Frame Selection"),
    QStringLiteral("Measure"),
    QStringLiteral("Log Viewer"),
    QStringLiteral("Contact Picture Log"),
    QStringLiteral("Skelvin 2005 Manual"),
};

QString sourcePath(const QString &relative)
{
    return QDir(QStringLiteral(SKELVIN_SOURCE_DIR)).filePath(relative);
}

QString readText(const QString &relative)
{
    QFile file(sourcePath(relative));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

int countPhrase(const QString &text, const QString &phrase)
{
    const QRegularExpression whole(QStringLiteral("(?<![\\w])%1(?![\\w])")
                                       .arg(QRegularExpression::escape(phrase)));
    int count = 0;
    for (auto it = whole.globalMatch(text); it.hasNext(); it.next())
        ++count;
    return count;
}

// A caption is named when it occurs on its own, not only inside a longer caption
// ("Skelvin 2005" inside "Skelvin 2005 Manual").
QSet<QString> screensNamedIn(const QString &text)
{
    QSet<QString> named;
    for (const QString &caption : kScreenCaptions) {
        int inLonger = 0;
        for (const QString &other : kScreenCaptions) {
            if (other != caption && other.contains(caption))
                inLonger += countPhrase(text, other);
        }
        if (countPhrase(text, caption) > inLonger)
            named.insert(caption);
    }
    return named;
}

QString listed(QSet<QString> set)
{
    QStringList list(set.begin(), set.end());
    list.sort();
    return list.join(QStringLiteral(", "));
}

struct ProgramRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

ProgramRun runProgram(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// Options and commands as a manual page spells them: "--app-dir" is written \-\-app\-dir.
QString asRoff(QString word)
{
    return word.replace(QLatin1Char('-'), QStringLiteral("\\-"));
}

} // namespace

// The guide and the manual name the same screens, and every captioned window of the program
// is one of them, so a new screen is documented in both before it ships.
TEST(Documentation, GuideAndManualNameTheSameScreens)
{
    const QString guide = readText(QStringLiteral("docs/operator-guide.md"));
    ASSERT_FALSE(guide.isEmpty()) << "docs/operator-guide.md does not read";
    QTextDocument manualDocument;
    const Failure failure =
        RtfReader::readFile(sourcePath(QStringLiteral("resources/DE05Manual.rtf")), manualDocument);
    ASSERT_FALSE(failure) << failure->toStdString();
    const QString manual = manualDocument.toPlainText();

    const QSet<QString> inGuide = screensNamedIn(guide);
    const QSet<QString> inManual = screensNamedIn(manual);
    EXPECT_EQ(listed(inGuide - inManual), QString()) << "named in the guide, not in the manual";
    EXPECT_EQ(listed(inManual - inGuide), QString()) << "named in the manual, not in the guide";
    const QSet<QString> all(kScreenCaptions.begin(), kScreenCaptions.end());
    EXPECT_EQ(listed(all - inGuide), QString()) << "screens the guide leaves out";

    // Every fixed caption of a window under src/ui is on the list.
    const QRegularExpression captionCall(
        QStringLiteral("setWindowTitle\\(QStringLiteral\\(\"([^\"]+)\"\\)\\)"));
    QDirIterator sources(sourcePath(QStringLiteral("src/ui")), {QStringLiteral("*.cpp")},
                         QDir::Files, QDirIterator::Subdirectories);
    int captionsFound = 0;
    while (sources.hasNext()) {
        QFile file(sources.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString code = QString::fromUtf8(file.readAll());
        for (auto it = captionCall.globalMatch(code); it.hasNext();) {
            const QString caption = it.next().captured(1);
            ++captionsFound;
            EXPECT_TRUE(kScreenCaptions.contains(caption))
                << caption.toStdString() << " (" << file.fileName().toStdString()
                << ") is not in the guide's and the manual's list of screens";
        }
    }
    EXPECT_GE(captionsFound, kScreenCaptions.size());
}

// The manual pages render without a single warning, as man and Debian's checks render them.
TEST(Documentation, ManualPagesRenderWithoutWarnings)
{
    const QString groff = QStandardPaths::findExecutable(QStringLiteral("groff"));
    if (groff.isEmpty())
        GTEST_SKIP() << "groff is not installed (Debian package groff-base)";
    for (const char *page : {"docs/man/skelvin.1", "docs/man/skelvin-tool.1"}) {
        const QString path = sourcePath(QString::fromLatin1(page));
        ASSERT_TRUE(QFile::exists(path)) << page;
        const ProgramRun run = runProgram(groff, {QStringLiteral("-man"), QStringLiteral("-ww"),
                                           QStringLiteral("-z"), path});
        EXPECT_EQ(run.exitCode, 0) << page;
        EXPECT_EQ(run.err, QString()) << page;
    }
}

// Every option of skelvin --help and every command of skelvin-tool --help has its entry in the
// manual page, and both pages say the version the programs print.
TEST(Documentation, ManualPagesKeepUpWithTheHelp)
{
    const QString programPage = readText(QStringLiteral("docs/man/skelvin.1"));
    const QString toolPage = readText(QStringLiteral("docs/man/skelvin-tool.1"));
    ASSERT_FALSE(programPage.isEmpty());
    ASSERT_FALSE(toolPage.isEmpty());

    const ProgramRun programHelp = runProgram(QStringLiteral(SKELVIN_PROGRAM_PATH), {QStringLiteral("--help")});
    ASSERT_EQ(programHelp.exitCode, 0);
    const QRegularExpression option(QStringLiteral("(?:^|[ ,])(--[a-z][a-z-]+)"));
    int options = 0;
    for (auto it = option.globalMatch(programHelp.out); it.hasNext(); ++options) {
        const QString name = it.next().captured(1);
        EXPECT_TRUE(programPage.contains(asRoff(name))) << name.toStdString() << " is not in skelvin.1";
    }
    EXPECT_GE(options, 6);

    const ProgramRun toolHelp = runProgram(QStringLiteral(SKELVIN_TOOL_PATH), {QStringLiteral("--help")});
    ASSERT_EQ(toolHelp.exitCode, 0);
    // Command lines of the help: two spaces, then the command's words up to its first argument.
    const QRegularExpression command(QStringLiteral("^  ([a-z][a-z-]*(?: [a-z]+)?) [A-Z\\[]"),
                                     QRegularExpression::MultilineOption);
    int commands = 0;
    for (auto it = command.globalMatch(toolHelp.out); it.hasNext(); ++commands) {
        const QString name = it.next().captured(1);
        EXPECT_TRUE(toolPage.contains(QStringLiteral(".BI \"") + asRoff(name) + QLatin1Char(' ')))
            << name.toStdString() << " has no entry in skelvin-tool.1";
    }
    EXPECT_GE(commands, 13);

    const QString version =
        runProgram(QStringLiteral(SKELVIN_PROGRAM_PATH), {QStringLiteral("--version")}).out.trimmed().section(
            QLatin1Char(' '), 1);
    ASSERT_FALSE(version.isEmpty());
    for (const QString *page : {&programPage, &toolPage})
        EXPECT_TRUE(page->section(QLatin1Char('\n'), 0, 0).contains(QStringLiteral("Skelvin ") + version))
            << "the title line does not say version " << version.toStdString();
}

// The README stays short and leads to every document that was moved out of it.
TEST(Documentation, ReadmeLeadsToEveryDocument)
{
    const QString readme = readText(QStringLiteral("README.md"));
    ASSERT_FALSE(readme.isEmpty());
    QDirIterator documents(sourcePath(QStringLiteral("docs")), {QStringLiteral("*.md")}, QDir::Files);
    int count = 0;
    while (documents.hasNext()) {
        const QString name = QFileInfo(documents.next()).fileName();
        ++count;
        EXPECT_TRUE(readme.contains(QStringLiteral("(docs/") + name + QLatin1Char(')')))
            << name.toStdString() << " has no link in the README";
    }
    EXPECT_GE(count, 4);
    for (const char *page : {"docs/man/skelvin.1", "docs/man/skelvin-tool.1"})
        EXPECT_TRUE(readme.contains(QString::fromLatin1(page))) << page;
    for (const auto &image : QRegularExpression(QStringLiteral("\\]\\((docs/images/[^)]+)\\)"))
                                 .globalMatch(readme)) {
        EXPECT_TRUE(QFile::exists(sourcePath(image.captured(1)))) << image.captured(1).toStdString();
    }
}
