#include "core/capture/AudioAttributes.h"
#include "core/capture/CaptureTiming.h"
#include "core/capture/VideoFileName.h"
#include "support/TestDirs.h"

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

TEST(CaptureRules, TheVideoFileNameJoinsNameJumpAndAttemptWithoutSeparators)
{
    EXPECT_EQ(
        videoFileName(QStringLiteral("/v/"), QStringLiteral("  Jane Doe "), QStringLiteral(" 2")),
        QStringLiteral("/v/Jane Doejump2.avi"));
    EXPECT_EQ(videoFileName(QStringLiteral("/v"), QStringLiteral("Jane"), QStringLiteral("1 0")),
              QStringLiteral("/v/Janejump10.avi"));
}

TEST(CaptureRules, FreeAttemptsAndNamesStepPastExistingFilesOnly)
{
    TestDirs dirs;
    const QString v = dirs.file(QStringLiteral("v"));
    dirs.writeFile(QStringLiteral("v/Ajump1.avi"), "x");
    dirs.writeFile(QStringLiteral("v/Ajump2.avi"), "x");
    dirs.writeFile(QStringLiteral("v/AXjump1.avi"), "x");
    const FreeAttempt attempt = firstFreeAttempt(v, QStringLiteral("A"), QStringLiteral("1"));
    EXPECT_EQ(attempt.attemptText, QStringLiteral(" 3"));
    EXPECT_EQ(attempt.raised, 2);
    EXPECT_EQ(firstFreeAttempt(v, QStringLiteral("B"), QStringLiteral("4")).raised, 0);

    const FreeName name = firstFreeName(v, QStringLiteral("A "), QStringLiteral(" 2"));
    EXPECT_TRUE(name.changed);
    EXPECT_EQ(name.skierName, QStringLiteral("AXX"));
    EXPECT_EQ(name.attemptText, QStringLiteral("1"));
    EXPECT_FALSE(firstFreeName(v, QStringLiteral("A"), QStringLiteral("3")).changed);
}

TEST(CaptureRules, AnAttemptNumberIsAWholeNumberFromOne)
{
    for (const char *taken : {"1", " 2", "12 ", "32767"})
        EXPECT_TRUE(attemptNumberProblem(QString::fromLatin1(taken)).isEmpty()) << taken;
    for (const char *refused : {"abc", "2x", "0", "", " ", "-1", "1.5", "1 0", "32768", "+3"})
        EXPECT_EQ(attemptNumberProblem(QString::fromLatin1(refused)),
                  QStringLiteral("The attempt number must be a whole number from 1 to 32767: "
                                 "change the Attempt Number box."))
            << refused;
}

TEST(CaptureRules, AudioItemsAndTheirFormats)
{
    const QStringList items = audioAttributeItems();
    ASSERT_EQ(items.size(), 16);
    EXPECT_EQ(items.first(), QStringLiteral("11.025 Khz, 8 Bit, Mono"));
    EXPECT_EQ(items.at(5), QStringLiteral("22.050 Khz, 8 Bit, Stereo"));
    EXPECT_EQ(items.last(), QStringLiteral("44.100 Khz, 16 Bit, Stereo"));
    const AudioFormatChoice five = audioFormatOfItem(5, items.at(5));
    EXPECT_EQ(five.sampleRate, 22050);
    EXPECT_EQ(five.channels, 2);
    EXPECT_EQ(five.bitsPerSample, 8);
    EXPECT_EQ(audioFormatOfItem(3, QStringLiteral(" 44 Khz")).sampleRate,
              0); // blank first: no rate
    EXPECT_EQ(audioFormatText(11025, 8, 1), QStringLiteral("11.025 Khz, 8 bit, Mono"));
}

TEST(CaptureRules, TheHalfwayContactFrameRoundsHalvesToEven)
{
    EXPECT_EQ(halfwayContactFrame(QStringLiteral("30"), 5), 75);
    EXPECT_EQ(halfwayContactFrame(QStringLiteral("25"), 5), 62);
    EXPECT_EQ(halfwayContactFrame(QStringLiteral("25"), 3), 38);
    const CaptureTimeChoice none = captureTimeAtLoad(4.5);
    EXPECT_EQ(none.itemIndex, -1);
    EXPECT_EQ(none.seconds, 4.5);
    EXPECT_EQ(captureTimeAtLoad(6).itemIndex, 3);
}
