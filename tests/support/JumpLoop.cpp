#include "support/JumpLoop.h"

#include "support/ProgramHarness.h"
#include "support/ToolRunner.h"

#include "core/common/NumberText.h"
#include "core/frames/RiffAviReader.h"
#include "ui/common/PictureView.h"
#include "ui/frames/FramePlayer.h"
#include "ui/frames/frmSetStart.h"
#include "ui/measure/Measure.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cmath>

namespace skelvin::test {

namespace {

// The whole frames of a recording on disk that "recording N" steps report.
constexpr int kRecordingSteps[] = {1, 10, 20};

QString lastLine(const QByteArray &bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    lines.removeAll(QString());
    return lines.value(lines.size() - 1);
}

} // namespace

JumpLoop::JumpLoop(ProgramHarness &harness) : m_h(harness) {}

void JumpLoop::step(const QString &name)
{
    if (onStep)
        onStep(name);
}

void JumpLoop::reportRecordingSteps(int *reported)
{
    // The file the capture screen started is on disk from the click on: its whole frames,
    // counted as the frame reader counts a recording that is still being written.
    if (!onStep || *reported >= int(std::size(kRecordingSteps)))
        return;
    QFile file(m_h.context().captureDevice().CaptureFileName());
    if (!file.open(QIODevice::ReadOnly))
        return;
    const Result<AviFileInfo> facts = RiffAviReader(file).read();
    const int frames = facts ? int(facts->length) : 0;
    while (*reported < int(std::size(kRecordingSteps)) && frames >= kRecordingSteps[*reported])
        step(QStringLiteral("recording %1").arg(kRecordingSteps[(*reported)++]));
}

QString JumpLoop::gridPath() const
{
    return m_h.dirs.file(QStringLiteral("setups/simulated.ipt"));
}

QString JumpLoop::prepare(int captureSeconds)
{
    QDir().mkpath(QFileInfo(gridPath()).path());
    const ToolRun scene =
        runTool({QStringLiteral("scene"), QStringLiteral("--size"), QStringLiteral("640x480"),
                 QStringLiteral("--write-grid"), gridPath()});
    if (scene.exitCode != 0)
        return QStringLiteral("skelvin-tool scene failed: ") + scene.err;
    m_landingPixel = QPointF(Val(toolValue(scene.out, QStringLiteral("landing_x"))),
                             Val(toolValue(scene.out, QStringLiteral("landing_y"))));
    m_h.store(QStringLiteral("grid1File"), gridPath());
    m_h.store(QStringLiteral("SetupFiles"), QFileInfo(gridPath()).path());
    m_h.store(QStringLiteral("tournamentType"), QStringLiteral("normal"));
    m_h.store(QStringLiteral("PictureSave"), QStringLiteral("Save"));
    m_h.store(QStringLiteral("VideoSave"), QStringLiteral("Save"));
    m_h.store(QStringLiteral("captureTime"), QString::number(captureSeconds));
    m_h.store(QStringLiteral("framerate"), QStringLiteral("30"));
    m_h.store(QStringLiteral("VideoResolution"), QStringLiteral("0"));
    return QString();
}

Result<QString> JumpLoop::jump(const QString &skier)
{
    using R = Result<QString>;
    QWidget *capture = m_h.program().screen(ScreenId::Capture);
    if (!capture->isVisible()) {
        m_h.context().navigator().show(ScreenId::Main);
        QTest::mouseClick(m_h.control<QPushButton>(ScreenId::Main, "cmdGoCapture"), Qt::LeftButton);
    }
    // The capture screen checks the attempt number at its first paint of the run.
    if (!QTest::qWaitFor([&] {
            return capture->isVisible() && (m_visited || m_h.context().navigationTag.isEmpty());
        }))
        return R::failure(QStringLiteral("the capture screen did not open"));
    m_visited = true;
    auto *name = m_h.control<QLineEdit>(ScreenId::Capture, "txtSkierName");
    if (name->text() != skier)
        name->setText(skier);
    step(QStringLiteral("capture"));
    QTest::mouseClick(m_h.control<QPushButton>(ScreenId::Capture, "cmdStartCapture"),
                      Qt::LeftButton);

    auto *frames = static_cast<frmSetStart *>(m_h.program().screen(ScreenId::FrameSelection));
    int recordingSteps = 0;
    if (!QTest::qWaitFor(
            [&] {
                reportRecordingSteps(&recordingSteps);
                // The picture of the frame it opened at is on screen.
                return frames->isVisible() && frames->player().frameCount() > 0 &&
                       frames->player().shownFrame() == frames->player().position();
            },
            30000))
        return R::failure(QStringLiteral("frame selection did not open a recording"));
    reportRecordingSteps(&recordingSteps);
    step(QStringLiteral("frames"));
    QTest::mouseClick(m_h.control<QPushButton>(ScreenId::FrameSelection, "cmdMarkStart"),
                      Qt::LeftButton);

    auto *measure = static_cast<Measure *>(m_h.program().screen(ScreenId::Measure));
    if (!measure->isVisible())
        return R::failure(QStringLiteral("the measure screen did not open"));
    const QPoint click(int(std::lround(m_landingPixel.x())), int(std::lround(m_landingPixel.y())));
    QTest::mousePress(measure->pictureView().canvas(), Qt::LeftButton, {}, click);
    QTest::mouseClick(m_h.control<QPushButton>(ScreenId::Measure, "Record"), Qt::LeftButton);
    const QString line = lastLine(TestDirs::readFile(m_h.context().results().path()));
    if (!line.contains(QStringLiteral("  jump ")))
        return R::failure(QStringLiteral("no jump line was recorded: ") + line);
    step(QStringLiteral("recorded"));
    QTest::mouseClick(m_h.control<QPushButton>(ScreenId::Measure, "btnNextJump"), Qt::LeftButton);
    return line;
}

Failure JumpLoop::saveGrid()
{
    m_h.context().navigator().show(ScreenId::GridSetup);
    m_h.prompter.choose(gridPath()).type(QStringLiteral("simulated view")).answer(Answer::Yes);
    m_h.program()
        .screen(ScreenId::GridSetup)
        ->findChild<QAction *>(QStringLiteral("gridSave"))
        ->trigger();
    if (!m_h.prompter.allAnswered())
        return QStringLiteral("the grid save asked something else");
    m_h.context().navigator().show(ScreenId::Main);
    return std::nullopt;
}

} // namespace skelvin::test
