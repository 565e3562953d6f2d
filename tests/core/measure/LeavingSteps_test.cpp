#include "core/app/AppContext.h"
#include "core/measure/LeavingSteps.h"
#include "core/measure/ResultRecorder.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

namespace {

// A measured jump: its frame picture, and its recording, which the video policy erases.
struct Leaving
{
    Leaving() : clock(QDateTime(QDate(2026, 12, 8), QTime(10, 20, 30))),
                context(dirs.paths(), clock, prompter, nullptr)
    {
        videos = dirs.file(QStringLiteral("videos"));
        QDir().mkpath(videos);
        context.videoDirectory = videos;
        context.results().setPath(videos + QStringLiteral("/results.txt"));
        context.tournament().videoSavePolicy = SavePolicy::NoSave;
        context.tournament().pictureSavePolicy = SavePolicy::NoSave;
        dirs.writeFile(QStringLiteral("app/currentcapture.bmp"), "frame");
        video = dirs.writeFile(QStringLiteral("videos/Skier Ajump3.avi"), "video");
        context.handOver.measuredVideoFile = video;
        context.handOver.jumpRecording = video;
        state.skierName = QStringLiteral("Skier A");
        state.jumpNo = QStringLiteral("3");
    }

    LeavingSteps steps()
    {
        return LeavingSteps({context.pictureKeeper(), prompter, context.handOver,
                             [this] { ++released; }});
    }
    LeavingSteps::Shown shown(bool fromFrameSelection, bool jumpRecorded)
    {
        return {state, picture, true, fromFrameSelection, jumpRecorded};
    }
    bool pictureSaved() const { return QFile::exists(videos + QStringLiteral("/Skier Ajump3.bmp")); }

    TestDirs dirs;
    FixedClock clock;
    ScriptedPrompter prompter;
    AppContext context;
    QString videos;
    QString video;
    MeasureState state;
    QImage picture;
    int released = 0;
};

} // namespace

TEST(LeavingSteps, ANextJumpFromALoadedPictureAsksAndTheOperatorMayStay)
{
    Leaving l;
    l.prompter.answer(Answer::Yes).answer(Answer::Yes);
    EXPECT_FALSE(l.steps().toNextJump(l.shown(false, true)));
    EXPECT_EQ(l.prompter.texts(),
              (QStringList{LeavingSteps::kSaveQuestion, LeavingSteps::kStayQuestion}));
    EXPECT_TRUE(l.pictureSaved());
    // Staying settles nothing: the video waits, still open in the player.
    EXPECT_EQ(l.released, 0);
    EXPECT_TRUE(QFile::exists(l.video));
    EXPECT_EQ(l.context.handOver.jumpRecording, l.video);
}

TEST(LeavingSteps, ANextJumpSettlesTheVideoAfterThePlayerLetsItGo)
{
    Leaving l;
    l.prompter.answer(Answer::No).answer(Answer::No);
    EXPECT_TRUE(l.steps().toNextJump(l.shown(false, false)));
    EXPECT_FALSE(l.pictureSaved());
    EXPECT_EQ(l.released, 1);
    EXPECT_FALSE(QFile::exists(l.video)) << "the policy erases it";
    EXPECT_TRUE(l.context.handOver.measuredVideoFile.isEmpty());

    // After a frame selection the policies decide: no question at all.
    Leaving f;
    f.context.tournament().pictureSavePolicy = SavePolicy::Save;
    EXPECT_TRUE(f.steps().toNextJump(f.shown(true, false)));
    EXPECT_TRUE(f.prompter.texts().isEmpty());
    EXPECT_TRUE(f.pictureSaved());
    EXPECT_FALSE(QFile::exists(f.video));
}

TEST(LeavingSteps, BackToTheMainScreenOnlyARecordedJumpsVideoIsSettled)
{
    Leaving notRecorded;
    notRecorded.steps().toMainScreen(notRecorded.shown(true, false));
    EXPECT_EQ(notRecorded.released, 0);
    EXPECT_TRUE(QFile::exists(notRecorded.video)) << "it waits to be measured";
    EXPECT_EQ(notRecorded.context.handOver.measuredVideoFile, notRecorded.video);

    Leaving recorded;
    recorded.steps().toMainScreen(recorded.shown(true, true));
    EXPECT_EQ(recorded.released, 1);
    EXPECT_FALSE(QFile::exists(recorded.video));

    // A picture loaded from a file has no video of this jump to settle.
    Leaving loaded;
    loaded.context.tournament().pictureSavePolicy = SavePolicy::Save;
    loaded.steps().toMainScreen(loaded.shown(false, true));
    EXPECT_EQ(loaded.released, 0);
    EXPECT_FALSE(loaded.pictureSaved());
    EXPECT_TRUE(QFile::exists(loaded.video));
}

TEST(ResultRecorder, ARerideStaysChosenOnAFrozenPictureACommentNever)
{
    Leaving l;
    ResultRecorder recorder = l.context.resultRecorder();
    l.state.pictureFrozen = true;
    EXPECT_TRUE(recorder.recordEntry(l.state, ResultRecorder::Entry::ManReride));
    EXPECT_TRUE(recorder.recordEntry(l.state, ResultRecorder::Entry::OptReride));
    l.prompter.type(QStringLiteral("Boat too fast"));
    EXPECT_FALSE(recorder.recordEntry(l.state, ResultRecorder::Entry::Comment));
    l.state.pictureFrozen = false;
    EXPECT_FALSE(recorder.recordEntry(l.state, ResultRecorder::Entry::ManReride));

    const QByteArray results = TestDirs::readFile(l.context.results().path());
    EXPECT_EQ(results.count("Mandatory Reride"), 2);
    EXPECT_EQ(results.count("Optional Reride"), 1);
    EXPECT_TRUE(results.contains("Boat too fast"));
}
