#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

// The program run with no window system at all, as on a server or over a plain terminal.
QProcess *runWithoutDisplay(QProcess &process, const QStringList &args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(SKELVIN_PROGRAM_PATH), args);
    process.waitForFinished(30000);
    return &process;
}

} // namespace

// --help and --version answer without a display; a wrong option is told, not a crash.
TEST(CommandLine, HelpAndVersionNeedNoDisplay)
{
    QProcess help;
    runWithoutDisplay(help, {QStringLiteral("--help")});
    EXPECT_EQ(help.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(help.exitCode(), 0);
    const QString text = QString::fromUtf8(help.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("--simulated-camera"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("--version")));

    QProcess version;
    runWithoutDisplay(version, {QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(version.readAllStandardOutput()).startsWith(QStringLiteral("skelvin ")));

    QProcess wrong;
    runWithoutDisplay(wrong, {QStringLiteral("--no-such-option")});
    EXPECT_EQ(wrong.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(wrong.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(wrong.readAllStandardError()).contains(QStringLiteral("no-such-option")));
}

// A scene file is for the simulated camera: asked for without it, the program says so and does
// not start on the real cameras as if nothing had been asked.
TEST(CommandLine, ASceneWithoutTheSimulatedCameraIsRefused)
{
    QProcess alone;
    runWithoutDisplay(alone, {QStringLiteral("--scene"), QStringLiteral("bumped.ini")});
    EXPECT_EQ(alone.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(alone.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(alone.readAllStandardError())
                    .contains(QStringLiteral("--scene is for the simulated camera")));
}
