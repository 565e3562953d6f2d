#include "support/ProgramHarness.h"
#include "support/TestGrids.h"
#include "support/ToolRunner.h"

#include "core/simulation/SimulatedScene.h"
#include "core/vision/recordings/ContactSearch.h"
#include "ui/frames/FrameMarks.h"
#include "ui/frames/FramePlayer.h"
#include "ui/frames/frmSetStart.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

namespace {

const QSize kSize(1280, 720);

// The whole program with the grid of the simulated camera's view in use, and a jump recorded
// by that camera: the skier lands 1.6 s after leaving the ramp.
class ContactSuggestion : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.storeStraightDownGrid();
        ASSERT_TRUE(h.startWithVideoDirectory());
        h.prompter.clear();
        const QString scene = h.dirs.file(QStringLiteral("jump.ini"));
        QFile file(scene);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[light]\nglints=0.2\n[landing]\nx=45\ny=0.5\nseconds=1.6\n");
        file.close();
        video = h.videos() + QStringLiteral("/Skier Ajump1.avi");
        const ToolRun recorded = runTool({"capture", video, "--simulated", "--scene", scene,
                                          "--size", "1280x720", "--rate", "30", "--seconds", "2.4"});
        ASSERT_EQ(recorded.exitCode, 0) << recorded.err.toStdString();
        SimulatedScene view;
        view.landing().point = {45, 0.5};
        h.context().grids().active() = gridOfScene(view, kSize);
        // What the search finds in this recording, searched here without the screen.
        const ContactSearch search = searchContact(video, h.context().grids().active());
        ASSERT_TRUE(search.find.found) << search.find.reason.toStdString();
        suggested = search.find.frame;
        ASSERT_NEAR(suggested, toolValue(recorded.out, "landing_frame").toInt(), 3);
    }

    frmSetStart *screen()
    {
        return static_cast<frmSetStart *>(h.program().screen(ScreenId::FrameSelection));
    }
    template <typename W = QWidget> W *control(const char *name)
    {
        return h.control<W>(ScreenId::FrameSelection, name);
    }
    QString said() { return control<QLabel>("lblSuggested")->text(); }

    // As the capture screen hands a recording over.
    void openAfterRecording(int contactFrame, bool pressed)
    {
        JumpHandOver &handOver = h.context().handOver;
        handOver.captureFilePath = video;
        handOver.contactFrame = contactFrame;
        handOver.contactPressed = pressed;
        handOver.captureFrameRate = 30;
        handOver.capturedFrameCount = 72;
        h.context().navigationTag = QStringLiteral("Capture");
        h.context().navigator().show(ScreenId::Capture);
        h.context().navigator().show(ScreenId::FrameSelection);
        ASSERT_TRUE(QTest::qWaitFor([&] { return h.context().navigationTag.isEmpty(); }));
        ASSERT_EQ(screen()->player().fileName(), video);
    }

    bool waitForSuggestion()
    {
        return QTest::qWaitFor([&] { return said() != contactSearchingText(); }, 20000);
    }

    ProgramHarness h;
    QString video;
    int suggested = -1;
};

} // namespace

// Without a Contact press the recording moves from half way to the suggested frame, marked on
// the slider; after stepping away the button and the key G go back to it; nothing is measured
// until the operator says so.
TEST_F(ContactSuggestion, WithoutAContactPressTheRecordingMovesToTheSuggestedFrame)
{
    openAfterRecording(36, false);
    ASSERT_TRUE(waitForSuggestion());
    EXPECT_EQ(said(), QStringLiteral("Suggested first contact: frame %1").arg(suggested));
    FramePlayer &player = screen()->player();
    EXPECT_EQ(player.position(), suggested);
    EXPECT_EQ(player.marks()->suggestedFrame(), suggested);
    EXPECT_EQ(player.marks()->pressedFrame(), -1);
    EXPECT_EQ(h.context().handOver.suggestedContactFrame, suggested);
    EXPECT_FALSE(h.context().handOver.suggestedContactPoint.isNull());

    screen()->Command4_Click();
    screen()->Command4_Click();
    EXPECT_EQ(player.position(), suggested + 2);
    QTest::mouseClick(control<QPushButton>("cmdGoToSuggested"), Qt::LeftButton);
    EXPECT_EQ(player.position(), suggested);
    player.setPosition(0);
    screen()->activateWindow();
    control<QPushButton>("cmdMarkStart")->setFocus();
    QTest::keyClick(control<QPushButton>("cmdMarkStart"), Qt::Key_G);
    EXPECT_EQ(player.position(), suggested);
    // Only the operator's choice measures.
    EXPECT_EQ(h.context().handOver.measuredFrame, 0);
    EXPECT_NE(h.context().navigationTag, QStringLiteral("SelectFrame"));
}

// An operator who has already stepped keeps the frame stepped to; the suggestion is still said.
TEST_F(ContactSuggestion, AStepBeforeTheSuggestionArrivesIsKept)
{
    openAfterRecording(36, false);
    if (said() != contactSearchingText())
        GTEST_SKIP() << "the search was done before the first step could be taken";
    screen()->Command1_Click();
    ASSERT_TRUE(waitForSuggestion());
    EXPECT_EQ(screen()->player().position(), 35);
    EXPECT_EQ(screen()->player().marks()->suggestedFrame(), suggested);
}

// With Contact pressed the recording opens where it was pressed and the suggestion is said
// beside it; both are marked.
TEST_F(ContactSuggestion, WithContactPressedTheSuggestionIsShownBesideThePress)
{
    openAfterRecording(20, true);
    ASSERT_TRUE(waitForSuggestion());
    EXPECT_EQ(said(), QStringLiteral("Suggested first contact: frame %1 (Contact pressed at frame 20)")
                          .arg(suggested));
    EXPECT_EQ(screen()->player().position(), 20);
    EXPECT_EQ(screen()->player().marks()->suggestedFrame(), suggested);
    EXPECT_EQ(screen()->player().marks()->pressedFrame(), 20);
}
