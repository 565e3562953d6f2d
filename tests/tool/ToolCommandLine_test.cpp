#include "support/ToolRunner.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace skelvin::test;

// --version names the tool and the same version as the program; help goes to standard output
// when asked for and to standard error with a failure when the command is missing or unknown.
TEST(ToolCommandLine, VersionAndHelp)
{
    const ToolRun version = runTool({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.err, QString());
    QProcess program;
    program.start(QStringLiteral(SKELVIN_PROGRAM_PATH), {QStringLiteral("--version")});
    ASSERT_TRUE(program.waitForFinished(30000));
    const QString programVersion = QString::fromUtf8(program.readAllStandardOutput()).trimmed();
    ASSERT_TRUE(programVersion.startsWith(QStringLiteral("skelvin "))) << programVersion.toStdString();
    EXPECT_EQ(version.out, QStringLiteral("skelvin-tool ") + programVersion.section(QLatin1Char(' '), 1)
                               + QLatin1Char('\n'));

    const ToolRun help = runTool({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--version"))) << help.out.toStdString();
    EXPECT_EQ(help.err, QString());

    const ToolRun none = runTool({});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.out, QString());
    EXPECT_EQ(none.err, help.out);

    const ToolRun unknown = runTool({QStringLiteral("--versions")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.startsWith(QStringLiteral("Unknown command: --versions"))) << unknown.err.toStdString();

    // The version takes no arguments; anything after it is a wrong command line.
    const ToolRun extra = runTool({QStringLiteral("--version"), QStringLiteral("x")});
    EXPECT_EQ(extra.exitCode, 1);
    EXPECT_EQ(extra.out, QString());
}
