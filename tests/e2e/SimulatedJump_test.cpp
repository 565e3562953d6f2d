#include "support/Clicks.h"
#include "support/ProgramHarness.h"
#include "support/ToolRunner.h"

#include "core/common/NumberText.h"
#include "core/geometry/GridTransformSolver.h"
#include "core/grid_setup/GridSetupFile.h"
#include "core/simulation/FrameNumberStrip.h"
#include "core/vision/recordings/ContactSearch.h"
#include "ui/app/MainForm.h"
#include "ui/common/PictureView.h"
#include "ui/frames/FramePlayer.h"
#include "ui/frames/frmSetStart.h"
#include "ui/measure/Measure.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace skelvin;
using namespace skelvin::test;

namespace {

// The distance from the grid's jump position to where a picture pixel maps, in metres.
double distanceAt(const GridSetupFileData &grid, QPointF pixel)
{
    const std::optional<SurveyPoint> p =
        ScreenToSurvey(grid.transform, {pixel.x() * 15.0, pixel.y() * 15.0});
    return p ? std::hypot(p->x - grid.jump.x, p->y - grid.jump.y) : NAN;
}

} // namespace

// One jump with the simulated camera, the way an operator works it: the grid of the simulated
// view set up, a recording from the capture screen, frame selection stepped to the frame the
// skier lands in, the contact point clicked on the measure screen, Record, and Capture Next
// Jump back to the capture screen. The distance recorded is the true one the scene knows.
TEST(SimulatedJump, RecordedSelectedMeasuredAndKept)
{
    ProgramHarness h;
    h.useSimulatedCamera();
    const QString grid = h.dirs.file(QStringLiteral("simulated.ipt"));
    const ToolRun scene =
        runTool({QStringLiteral("scene"), QStringLiteral("--size"), QStringLiteral("640x480"),
                 QStringLiteral("--write-grid"), grid});
    ASSERT_EQ(scene.exitCode, 0) << qPrintable(scene.err);
    const QPointF landing(Val(toolValue(scene.out, QStringLiteral("landing_x"))),
                          Val(toolValue(scene.out, QStringLiteral("landing_y"))));
    const double trueMetres = Val(toolValue(scene.out, QStringLiteral("landing_distance_m")));
    const double landingSeconds = Val(toolValue(scene.out, QStringLiteral("landing_seconds")));

    h.store(QStringLiteral("grid1File"), grid);
    h.store(QStringLiteral("tournamentType"), QStringLiteral("normal"));
    h.store(QStringLiteral("PictureSave"), QStringLiteral("Save"));
    h.store(QStringLiteral("VideoSave"), QStringLiteral("Save"));
    h.store(QStringLiteral("captureTime"), QStringLiteral("3.0"));
    h.store(QStringLiteral("framerate"), QStringLiteral("30"));
    h.store(QStringLiteral("VideoResolution"), QStringLiteral("0"));
    ASSERT_TRUE(h.startWithVideoDirectory());
    ASSERT_TRUE(h.context().grids().allGridsReady());
    h.prompter.clear();

    // Main screen, capture screen, a recording of three seconds.
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Main, "cmdGoCapture"), Qt::LeftButton);
    QWidget *capture = h.program().screen(ScreenId::Capture);
    ASSERT_TRUE(capture->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.context().navigationTag.isEmpty(); }));
    h.control<QLineEdit>(ScreenId::Capture, "txtSkierName")->setText(QStringLiteral("Skier A"));
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Capture, "cmdStartCapture"), Qt::LeftButton);
    ASSERT_TRUE(h.prompter.prompts().isEmpty()) << qPrintable(h.prompter.texts().join('\n'));
    auto *frames = static_cast<frmSetStart *>(h.program().screen(ScreenId::FrameSelection));
    ASSERT_TRUE(QTest::qWaitFor([&] { return frames->isVisible(); }, 20000));
    const QString video = h.videos() + QStringLiteral("/Skier Ajump1.avi");
    ASSERT_TRUE(QTest::qWaitFor([&] { return frames->player().fileName() == video; }));
    ASSERT_GT(frames->player().frameCount(), 60);
    EXPECT_EQ(frames->player().frameSize(), QSize(640, 480));

    // The first contact was searched while the jump recorded: frame selection opens at the
    // frame the skier lands in, suggested, and the debug log says the search was done as the
    // recording closed.
    const int landingFrame = int(std::ceil(landingSeconds * frames->player().frameRate() - 1e-9));
    auto *said = h.control<QLabel>(ScreenId::FrameSelection, "lblSuggested");
    ASSERT_TRUE(QTest::qWaitFor([&] { return said->text() != contactSearchingText(); }, 20000));
    EXPECT_EQ(said->text(), QStringLiteral("Suggested first contact: frame %1").arg(landingFrame));
    EXPECT_EQ(frames->player().position(), landingFrame);
    const QString debugLog = QString::fromUtf8(
        TestDirs::readFile(h.dirs.file(QStringLiteral("drive/qvio/DebugLog.txt"))));
    EXPECT_TRUE(debugLog.contains(QStringLiteral(" ms after the recording closed")))
        << qPrintable(debugLog);

    // The operator checks it with the arrow keys.
    QWidget *view = frames->player().view();
    while (frames->player().position() < landingFrame)
        QTest::keyClick(view, Qt::Key_Right);
    while (frames->player().position() > landingFrame)
        QTest::keyClick(view, Qt::Key_Left);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frames->player().view()->frame() == landingFrame; }));
    EXPECT_EQ(readFrameNumberStrip(frames->player().view()->image()), landingFrame);
    QTest::mouseClick(h.control<QPushButton>(ScreenId::FrameSelection, "cmdMarkStart"),
                      Qt::LeftButton);
    EXPECT_EQ(h.context().handOver.measuredFrame, landingFrame);

    // The measure screen shows that frame; the contact point is clicked and recorded.
    auto *measure = static_cast<Measure *>(h.program().screen(ScreenId::Measure));
    ASSERT_TRUE(measure->isVisible());
    EXPECT_EQ(readFrameNumberStrip(measure->pictureView().picture()), landingFrame);
    const QPoint click(int(std::lround(landing.x())), int(std::lround(landing.y())));
    measure->pictureView().setZoom(1.0);
    pressOnPicture(measure->pictureView(), click);
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Measure, "Record"), Qt::LeftButton);
    const QStringList lines = h.resultsText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const QString line = lines.last();
    ASSERT_TRUE(line.contains(QStringLiteral("Skier A  jump 1 - "))) << qPrintable(line);
    const QRegularExpressionMatch fine =
        QRegularExpression(QStringLiteral("\\(\\s*([0-9.]+)\\)$")).match(line);
    ASSERT_TRUE(fine.hasMatch()) << qPrintable(line);

    // Within what one pixel either way changes the distance at that point.
    const Result<GridSetupFileData> g = readGridSetupFile(grid);
    ASSERT_TRUE(g);
    double sensitivity = 0;
    for (const QPointF step : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)})
        sensitivity = std::max(sensitivity, std::abs(distanceAt(g.value(), landing + step) -
                                                     distanceAt(g.value(), landing)));
    const double normalCorrection = 2.1;
    EXPECT_NEAR(fine.captured(1).toDouble(), trueMetres + normalCorrection, sensitivity)
        << "sensitivity " << sensitivity << " m";

    // Capture Next Jump: picture and video kept and logged, back to the next attempt.
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Measure, "btnNextJump"), Qt::LeftButton);
    EXPECT_TRUE(capture->isVisible());
    EXPECT_EQ(h.control<QLineEdit>(ScreenId::Capture, "txtPass")->text().trimmed(),
              QStringLiteral("2"));
    EXPECT_TRUE(frames->player().fileName().isEmpty());
    EXPECT_TRUE(QFile::exists(video));
    EXPECT_TRUE(QFile::exists(h.videos() + QStringLiteral("/Skier Ajump1.bmp")));
    const QByteArray log =
        TestDirs::readFile(h.videos() + QStringLiteral("/JumpMeasurementLog120826.txt"));
    EXPECT_TRUE(log.contains("File: " + video.toUtf8() + "\r\n"));
    EXPECT_TRUE(log.contains("File: " + h.videos().toUtf8() + "/Skier Ajump1.bmp\r\n"));
    EXPECT_EQ(TestDirs::readFile(video + QStringLiteral(".info")),
              (video + QLatin1Char(',') + Str(landingFrame) + QStringLiteral("\r\n")).toUtf8());
    EXPECT_TRUE(h.prompter.prompts().isEmpty()) << qPrintable(h.prompter.texts().join('\n'));
}
