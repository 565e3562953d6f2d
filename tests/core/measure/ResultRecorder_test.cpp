#include "core/app/AppContext.h"
#include "core/common/Clock.h"
#include "core/measure/ResultLine.h"
#include "core/measure/ResultRecorder.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace skelvin;
using skelvin::test::ScriptedPrompter;
using skelvin::test::TestDirs;

namespace {

const QString kPrefix = QStringLiteral("07-04-2005 14:35:27 ");

// A grid on which the mark (4520, 3105) maps to (112.345, 20.5), 43.0234 m from the jump.
struct Recording
{
    explicit Recording(bool withExchangeDir = true)
        : dirs(withExchangeDir), clock(QDateTime(QDate(2005, 7, 4), QTime(14, 35, 27))),
          context(dirs.paths(), clock, prompter, nullptr), recorder(context.resultRecorder())
    {
        QDir().mkpath(dirs.file(QStringLiteral("videos")));
        context.results().setPath(dirs.file(QStringLiteral("videos/JumpMeasurementResults070405.txt")));
        context.grids().active().transform.c = {67.145, 0.01, 0, 0, 0, -10.55, 0, 0.01};
        context.grids().setActiveJump({69.3216, 20.5});
        state.skierName = QStringLiteral("Skier A");
        state.jumpNo = QStringLiteral("3");
        state.distanceText = QStringLiteral("m");
        state.distanceFtText = QStringLiteral("ft");
        state.impactPoint = {4520, 3105};
        state.markPlaced = true;
    }

    void tournament(TournamentType type)
    {
        context.tournament().tournamentType = type;
        state.barefootIndicatorVisible = type != TournamentType::Normal;
    }
    QByteArray results() { return TestDirs::readFile(context.results().path()); }
    QString exchange(const char *name) const { return dirs.file(QStringLiteral("drive/qvio/") + QLatin1String(name)); }
    QByteArray exchangeBytes(const char *name) const { return TestDirs::readFile(exchange(name)); }

    TestDirs dirs;
    FixedClock clock;
    ScriptedPrompter prompter;
    AppContext context;
    ResultRecorder recorder;
    MeasureState state;
};

QByteArray line(const QString &text)
{
    return (kPrefix + text).toUtf8() + "\r\n";
}

} // namespace

TEST(ResultRecorder, MeasuredJumpWritesTheLineAndShowsTheDistance)
{
    Recording r;
    ASSERT_TRUE(r.recorder.Record(r.state));
    EXPECT_EQ(r.results(), QByteArray("07-04-2005 14:35:27 Skier A  jump 3 -  45.1m  (IWSF) 148ft  (AWSA) "
                                      "( 112.345/ 20.5) ( 4520/ 3105) ( 45.1234)\r\n"));
    EXPECT_EQ(r.state.distanceText, QStringLiteral(" 45.1m"));
    EXPECT_EQ(r.state.distanceFtText, QStringLiteral(" 148ft"));
    EXPECT_EQ(r.state.fineDistanceText, QStringLiteral(" 45.1234"));
    EXPECT_EQ(r.state.jumpNo, QStringLiteral("3")); // a measured jump is advanced by Clear
    EXPECT_TRUE(r.prompter.prompts().isEmpty());
}

TEST(ResultRecorder, TournamentTypeAndVerifyModeShapeTheLine)
{
    const QString groups = QStringLiteral(" ( 112.345/ 20.5) ( 4520/ 3105)");
    Recording barefoot;
    barefoot.tournament(TournamentType::Barefoot);
    ASSERT_TRUE(barefoot.recorder.Record(barefoot.state));
    EXPECT_EQ(barefoot.results(), line(QStringLiteral("Skier A  jump 3 -  43m  (IWSF) 141.2ft  (AWSA) BAREFOOT ")
                                       + groups + QStringLiteral(" ( 43.0234)")));

    Recording sitSki;
    sitSki.tournament(TournamentType::SitSki);
    ASSERT_TRUE(sitSki.recorder.Record(sitSki.state));
    EXPECT_EQ(sitSki.results(), line(QStringLiteral("Skier A  jump 3 -  44.9m  (IWSF) 147.4ft  (AWSA)")
                                     + groups + QStringLiteral(" ( 44.9234)")));

    Recording verify;
    verify.state.verifyMode = true;
    verify.state.comment = QStringLiteral("windy");
    ASSERT_TRUE(verify.recorder.Record(verify.state));
    EXPECT_EQ(verify.results(), line(QStringLiteral("Skier A  jump 3 -  45.1m  (IWSF) 148ft  (AWSA) UNOFFICIAL JUMP - verify mode windy")
                                     + groups + QStringLiteral(" ( 45.1234)")));
    EXPECT_EQ(verify.state.comment, QString());
    EXPECT_FALSE(verify.state.commentVisible);
}

TEST(ResultRecorder, DistancesRoundHalfUpWithoutTrailingZeros)
{
    EXPECT_EQ(distanceTexts(45.05, false).distanceText, QStringLiteral(" 45.1m"));
    EXPECT_EQ(distanceTexts(45.05, false).fineDistanceText, QStringLiteral(" 45.05"));
    EXPECT_EQ(distanceTexts(45.04, false).distanceText, QStringLiteral(" 45m"));
    EXPECT_EQ(distanceTexts(45.0, false).distanceFtText, QStringLiteral(" 148ft"));
    EXPECT_EQ(distanceTexts(45.0, true).distanceFtText, QStringLiteral(" 147.6ft"));
    EXPECT_EQ(distanceTexts(45.1, false).exchangeFeet, QStringLiteral(" 148"));
    EXPECT_EQ(distanceTexts(45.1, true).exchangeFeet, QStringLiteral(" 148"));
}

TEST(ResultRecorder, FallAndPassCarryTheLastPointsAndAdvanceOnlyWithoutFrozenPicture)
{
    Recording fall;
    fall.context.tournament().wstims = true;
    ResultRecorder::chooseKind(fall.state, ResultKind::Fall);
    fall.state.distanceText = QStringLiteral(" 45.1m");
    fall.state.lastMousePoint = {4600.7, 3000.2};
    fall.state.lastSurveyPoint = {110.1234, -5.0};
    fall.state.fineDistanceText = QStringLiteral(" 44.5");
    ASSERT_TRUE(fall.recorder.Record(fall.state));
    EXPECT_EQ(fall.results(), line(QStringLiteral("Skier A  jump 3 -   (IWSF)  (AWSA)Fall ( 110.123/-5) ( 4600/ 3000) ( 44.5)")));
    EXPECT_EQ(fall.exchangeBytes("qvresult.dst"), QByteArray("Fall, 0, 0,3\r\n"));
    EXPECT_EQ(fall.state.jumpNo, QStringLiteral(" 4"));
    EXPECT_EQ(fall.state.kind, ResultKind::JumpOk);
    EXPECT_EQ(fall.state.distanceText, QString());

    // A frozen picture keeps Pass selected and the jump number; an edited comment still
    // reaches the scoring program as a pass.
    Recording pass;
    pass.context.tournament().wstims = true;
    ResultRecorder::chooseKind(pass.state, ResultKind::Pass);
    pass.state.comment = QStringLiteral("Pass - rope");
    pass.state.pictureFrozen = true;
    ASSERT_TRUE(pass.recorder.Record(pass.state));
    EXPECT_EQ(pass.exchangeBytes("qvresult.dst"), QByteArray("Pass, 0, 0,3\r\n"));
    EXPECT_EQ(pass.state.jumpNo, QStringLiteral("3"));
    EXPECT_EQ(pass.state.kind, ResultKind::Pass);
    EXPECT_EQ(pass.state.comment, QString());
}

TEST(ResultRecorder, OtherGridAsksUntilTheTwoDistancesAgree)
{
    Recording r;
    r.context.tournament().wstims = true;
    ResultRecorder::chooseKind(r.state, ResultKind::OtherGrid);
    r.prompter.answer(Answer::Yes).type(QStringLiteral("45")).type(QStringLiteral("150"));
    r.prompter.answer(Answer::Yes).type(QStringLiteral("45")).type(QStringLiteral("149"));
    ASSERT_TRUE(r.recorder.Record(r.state));

    const QStringList texts = r.prompter.texts();
    ASSERT_EQ(texts.size(), 7);
    EXPECT_EQ(texts[3], ResultRecorder::kOtherGridMismatch);
    EXPECT_EQ(r.results(), line(QStringLiteral("Skier A  jump 3 - 45m  (IWSF) 149ft  (AWSA)Distance from other grid")));
    EXPECT_EQ(r.exchangeBytes("qvresult.dst"), QByteArray("OK, 45,  149, 3\r\n"));
    EXPECT_EQ(r.state.jumpNo, QStringLiteral(" 4"));
    EXPECT_EQ(r.state.kind, ResultKind::JumpOk);

    // No distance in the other grid: the comment says so and the distances stay empty.
    r.prompter.clear();
    ResultRecorder::chooseKind(r.state, ResultKind::OtherGrid);
    r.prompter.answer(Answer::No);
    ASSERT_TRUE(r.recorder.Record(r.state));
    EXPECT_TRUE(r.results().endsWith(line(QStringLiteral("Skier A  jump  4 -   (IWSF)  (AWSA)Other Grid - no distance recorded"))));
    EXPECT_EQ(r.exchangeBytes("qvresult.dst"), QByteArray("OK, , ,  4\r\n"));
}

TEST(ResultRecorder, RerideAndCommentEntriesWriteTheirOwnLines)
{
    Recording r;
    r.state.distanceText = QStringLiteral(" 45.1m");
    r.state.comment = QStringLiteral("typed");
    ASSERT_TRUE(r.recorder.O_reride(r.state));
    EXPECT_EQ(r.state.distanceText, QStringLiteral(" 45.1m"));
    EXPECT_EQ(r.state.comment, QString());
    ASSERT_TRUE(r.recorder.M_Reride(r.state));
    EXPECT_EQ(r.state.distanceText, QString());

    r.prompter.type(QStringLiteral("Boat too fast")).type(QString()).cancelInput();
    EXPECT_TRUE(r.recorder.Make_comment(r.state));
    EXPECT_TRUE(r.recorder.Make_comment(r.state));
    EXPECT_FALSE(r.recorder.Make_comment(r.state)); // cancelled: no line

    ASSERT_TRUE(r.recorder.Record(r.state));
    EXPECT_EQ(r.results(), line(QStringLiteral("Optional Reride on previous jump"))
                               + line(QStringLiteral("Mandatory Reride - disregard last jump"))
                               + line(QStringLiteral("Boat too fast")) + line(QString())
                               + line(QStringLiteral("Skier A  jump 3 -  45.1m  (IWSF) 148ft  (AWSA) "
                                                     "( 112.345/ 20.5) ( 4520/ 3105) ( 45.1234)")));
}

TEST(ResultRecorder, NothingIsRecordedWhenTheResultsFileCannotBeWritten)
{
    Recording r;
    r.context.tournament().wstims = true;
    r.context.results().setPath(r.dirs.file(QStringLiteral("missing/results.txt")));
    const QString picture = r.dirs.writeFile(QStringLiteral("drive/qvio/snapshot.bmp"), "BM");
    ResultRecorder::chooseKind(r.state, ResultKind::Fall);
    const MeasureState before = r.state;

    EXPECT_FALSE(r.recorder.Record(r.state));
    ASSERT_EQ(r.prompter.prompts().size(), 1);
    EXPECT_TRUE(r.prompter.texts()[0].startsWith(QStringLiteral("The results file could not be written")));
    EXPECT_EQ(r.state.jumpNo, before.jumpNo);
    EXPECT_EQ(r.state.kind, ResultKind::Fall);
    EXPECT_EQ(r.state.comment, QStringLiteral("Fall"));
    EXPECT_FALSE(QFile::exists(r.exchange("qvresult.dst")));
    EXPECT_FALSE(QFile::exists(r.exchange("qvraw.dst")));
    EXPECT_TRUE(QFile::exists(picture));

    EXPECT_FALSE(r.recorder.M_Reride(r.state));
    EXPECT_EQ(r.state.comment, QStringLiteral("Fall"));
}

TEST(ResultRecorder, APointWithoutImageIsRefusedPlainly)
{
    Recording r;
    r.context.grids().active().transform.c[3] = -0.5; // w = 0 at x = 2
    r.state.impactPoint = {2, 100};
    r.state.markPlaced = true;
    EXPECT_FALSE(r.recorder.Record(r.state));
    EXPECT_EQ(r.prompter.texts(), QStringList{ResultRecorder::kNoImageText});
    EXPECT_FALSE(QFile::exists(r.context.results().path()));
    EXPECT_EQ(r.state.distanceText, QStringLiteral("m"));
}

TEST(ResultRecorder, WstimsOffTouchesNoExchangeFileButClearsItsPictures)
{
    Recording r;
    r.dirs.writeFile(QStringLiteral("drive/qvio/snapshot.bmp"), "BM");
    r.dirs.writeFile(QStringLiteral("drive/qvio/OTHER.BMP"), "BM");
    r.dirs.writeFile(QStringLiteral("drive/qvio/clipflag.txt"), "Ready\r\n");
    ASSERT_TRUE(r.recorder.Record(r.state));
    EXPECT_EQ(QDir(r.dirs.file(QStringLiteral("drive/qvio"))).entryList(QDir::Files), QStringList{QStringLiteral("clipflag.txt")});
}

TEST(ResultRecorder, ExchangeFilesHoldTheLastStatusAndEveryRawLine)
{
    Recording r;
    r.context.tournament().wstims = true;
    r.state.skierName = QStringLiteral("Doe, Jane");
    ASSERT_TRUE(r.recorder.Record(r.state));
    r.clock.set(QDateTime(QDate(2005, 7, 4), QTime(14, 36, 2)));
    r.state.jumpNo = QStringLiteral(" 4");
    r.state.impactPoint = {4530, 3105};
    r.state.markPlaced = true;
    ASSERT_TRUE(r.recorder.Record(r.state));

    EXPECT_EQ(r.exchangeBytes("qvresult.dst"), QByteArray("OK,  45.2,  148,  4\r\n"));
    EXPECT_EQ(r.exchangeBytes("qvraw.dst"), QByteArray("14:35:27 ,Doe,OK,  45.1,  148, 3\r\n"
                                                       "14:36:02 ,Doe,OK,  45.2,  148,  4\r\n"));
    EXPECT_TRUE(r.results().startsWith("07-04-2005 14:35:27 Doe, Jane  jump 3 -  45.1m"));
}

TEST(ResultRecorder, MissingExchangeDirectoryIsOneMessageAndTheJumpIsStillRecorded)
{
    Recording r(false);
    r.context.tournament().wstims = true;
    ASSERT_TRUE(r.recorder.Record(r.state));
    ASSERT_EQ(r.prompter.prompts().size(), 1);
    EXPECT_TRUE(r.prompter.texts()[0].startsWith(QStringLiteral("Error while writing WSTIMS result: ")));
    EXPECT_TRUE(r.results().contains("jump 3 -  45.1m"));
    EXPECT_FALSE(QDir(r.dirs.file(QStringLiteral("drive/qvio"))).exists());
}

// The starting texts of the skier and jump boxes are recorded, and sent to the scoring program,
// only when the operator says Yes to recording them.
TEST(ResultRecorder, StartingTextsWaitForTheOperatorsYes)
{
    Recording r;
    r.context.tournament().wstims = true;
    r.state.skierName = QStringLiteral("Skier Name");
    r.state.jumpNo = QStringLiteral("Jump");
    r.prompter.answer(Answer::No);
    EXPECT_FALSE(r.recorder.Record(r.state));
    ASSERT_EQ(r.prompter.prompts().size(), 1);
    EXPECT_EQ(r.prompter.prompts()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(r.prompter.prompts()[0].defaultAnswer, Answer::No);
    EXPECT_FALSE(QFile::exists(r.context.results().path()));
    EXPECT_FALSE(QFile::exists(r.exchange("qvresult.dst")));
    EXPECT_EQ(r.state.distanceText, QStringLiteral("m"));

    // An empty name alone, or a jump number that is not one alone, is asked about too.
    EXPECT_EQ(
        ResultRecorder::placeholderQuestion(QStringLiteral(" "), QStringLiteral(" 3")),
        QStringLiteral("No skier name has been entered. Do you want to record this jump anyway?"));
    EXPECT_EQ(
        ResultRecorder::placeholderQuestion(QStringLiteral("Skier A"), QStringLiteral("3a")),
        QStringLiteral(
            "The jump number \"3a\" is not a number. Do you want to record this jump anyway?"));
    EXPECT_EQ(ResultRecorder::placeholderQuestion(QStringLiteral("Skier A"), QStringLiteral(" 4")),
              std::nullopt);

    r.prompter.answer(Answer::Yes);
    EXPECT_TRUE(r.recorder.Record(r.state));
    EXPECT_EQ(r.results(),
              line(QStringLiteral("Skier Name  jump Jump -  45.1m  (IWSF) 148ft  (AWSA) ( 112.345/ "
                                  "20.5) ( 4520/ 3105) ( 45.1234)")));
    EXPECT_EQ(r.exchangeBytes("qvresult.dst"), QByteArray("OK,  45.1,  148, Jump\r\n"));
}
