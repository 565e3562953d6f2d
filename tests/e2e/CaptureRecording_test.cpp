#include "support/ProgramHarness.h"

#include "core/frames/mmInfo.h"
#include "ui/capture/PreviewForm.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

// A recording driven through the screens from the simulated camera: Start as the skier reaches
// the ramp, Contact on the way, and the countdown ends it.
TEST(CaptureRecording, ARecordingEndsUnderTheSkiersNameWithWhatIsHandedOn)
{
    ProgramHarness h;
    h.useSimulatedCamera();
    h.dirs.writeFile(QStringLiteral("app/SkierNames.txt"), "Doe,Jane\r\nRoe Rita\r\n");
    h.store(QStringLiteral("framerate"), QStringLiteral("25"));
    h.store(QStringLiteral("captureTime"), QStringLiteral("3.0"));
    h.store(QStringLiteral("compression"), QStringLiteral("1")); // Motion JPEG
    ASSERT_TRUE(h.startWithVideoDirectory());
    h.prompter.clear();

    QTest::mouseClick(h.control<QPushButton>(ScreenId::Main, "cmdGoCapture"), Qt::LeftButton);
    QTRY_VERIFY(h.context().navigationTag.isEmpty());
    auto *name = h.control<QLineEdit>(ScreenId::Capture, "txtSkierName");
    EXPECT_EQ(name->text(), QStringLiteral("Doe Jane"));

    QTest::mouseClick(h.control<QPushButton>(ScreenId::Capture, "cmdStartCapture"), Qt::LeftButton);
    ASSERT_TRUE(h.context().captureDevice().Capturing())
        << h.prompter.texts().join(QLatin1Char('|')).toStdString();
    QTRY_VERIFY_WITH_TIMEOUT(h.context().captureDevice().FramesCaptured() > 20, 5000);
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Capture, "cmdStartTimer"), Qt::LeftButton);
    const int contact = h.control<QLabel>(ScreenId::Capture, "lblStartFrame")->text().toInt();
    QTRY_VERIFY_WITH_TIMEOUT(!h.context().captureDevice().Capturing(), 8000);

    const QString video = h.videos() + QStringLiteral("/Doe Janejump1.avi");
    const JumpHandOver &handed = h.context().handOver;
    EXPECT_EQ(handed.captureFilePath, video);
    EXPECT_GT(contact, 20);
    EXPECT_EQ(handed.contactFrame, contact);
    EXPECT_EQ(handed.captureFrameRate, 25);
    EXPECT_GE(handed.capturedFrameCount, 70); // 3 s at 25 fps, give or take the last tick
    EXPECT_EQ(mmInfo::AviLength(video, h.prompter), handed.capturedFrameCount);
    EXPECT_EQ(mmInfo::AviFrameRate(video, h.prompter), 25);
    EXPECT_EQ(h.control<QLineEdit>(ScreenId::Capture, "txtPass")->text(), QStringLiteral(" 2"));
    EXPECT_EQ(h.control<QComboBox>(ScreenId::Measure, "Skier_name")->currentText(),
              QStringLiteral("Doe Jane"));
    EXPECT_EQ(h.control<QLabel>(ScreenId::Main, "LblFrames")->text(),
              QString::number(handed.capturedFrameCount));
}
