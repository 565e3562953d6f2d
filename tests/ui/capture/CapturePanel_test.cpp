#include "support/ProgramHarness.h"

#include "ui/app/MainForm.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

namespace {

struct Panel
{
    explicit Panel(const std::function<void(FakeCaptureDevice &)> &setUp = {})
    {
        if (setUp)
            setUp(h.camera());
        h.store(QStringLiteral("framerate"), QStringLiteral("30"));
        started = h.startWithVideoDirectory();
        h.prompter.clear();
    }
    template <typename W = QWidget> W *control(const char *name)
    {
        return h.control<W>(ScreenId::Main, name);
    }

    ProgramHarness h;
    bool started = false;
};

} // namespace

TEST(CapturePanel, AudioAttributesSetRateChannelsAndBitsFromTheItem)
{
    Panel p([](FakeCaptureDevice &c) { c.audioDevices = {QStringLiteral("USB microphone")}; });
    ASSERT_TRUE(p.started);
    auto *attrib = p.control<QComboBox>("ComboAttrib");
    ASSERT_EQ(attrib->count(), 16);
    EXPECT_EQ(attrib->currentText(),
              QStringLiteral("44.100 Khz, 16 Bit, Stereo")); // the control's own

    attrib->setCurrentIndex(5);
    EXPECT_EQ(p.h.camera().calls.last(), QStringLiteral("setAudioFormat 22050 2 8"));
    EXPECT_EQ(attrib->currentIndex(), 5);
    attrib->setCurrentIndex(14);
    EXPECT_EQ(p.h.camera().calls.last(), QStringLiteral("setAudioFormat 44100 1 16"));
    EXPECT_EQ(attrib->currentText(), QStringLiteral("44.100 Khz, 16 Bit, Mono"));
}

TEST(CapturePanel, AnAudioFormatNotInTheListIsAddedAsItsLastItem)
{
    Panel p([](FakeCaptureDevice &c) { c.sampleRate = 48000; });
    ASSERT_TRUE(p.started);
    auto *attrib = p.control<QComboBox>("ComboAttrib");
    ASSERT_EQ(attrib->count(), 17);
    EXPECT_EQ(attrib->itemText(16), QStringLiteral("48.000 Khz, 16 bit, Stereo"));
    EXPECT_EQ(attrib->currentIndex(), 16);
}

TEST(CapturePanel, TheFrameRateSetsTheRateClassAndIsStored)
{
    Panel p;
    ASSERT_TRUE(p.started);
    auto *rate = p.control<QLineEdit>("EdtRate");
    auto *label = p.control<QLabel>("lblConfig");
    EXPECT_EQ(label->text(), QStringLiteral("Currently Configured for R"));
    const std::pair<const char *, const char *> cases[] = {
        {"12", "Currently Configured for Normal/C"},
        {"20", "Currently Configured for L"},
        {"3", "Currently Configured for L"},
        {"30", "Currently Configured for R"}};
    for (const auto &[typed, shown] : cases) {
        rate->setText(QString::fromLatin1(typed));
        EXPECT_EQ(label->text(), QString::fromLatin1(shown)) << typed;
        EXPECT_EQ(p.h.stored(QStringLiteral("framerate")), QString::fromLatin1(typed));
    }
    rate->setText(QStringLiteral("24.6"));
    EXPECT_EQ(p.h.camera().frameRate, 25);
}

TEST(CapturePanel, StartUpConnectsTheStoredDeviceWithItsStoredFormat)
{
    ProgramHarness h;
    h.camera().videoDevices = {QStringLiteral("Camera A"), QStringLiteral("Camera B")};
    h.store(QStringLiteral("device"), QStringLiteral("1"));
    h.store(QStringLiteral("VideoResolution"), QStringLiteral("0"));
    h.store(QStringLiteral("ColorFormat"), QStringLiteral("1"));
    h.store(QStringLiteral("compression"), QStringLiteral("2"));
    ASSERT_TRUE(h.startWithVideoDirectory());

    EXPECT_TRUE(h.camera().calls.contains(QStringLiteral("ConnectDevice 1")));
    EXPECT_EQ(h.camera().resolution, 0);
    EXPECT_EQ(h.camera().colour, 1);
    EXPECT_EQ(h.camera().compressor, 1);
    EXPECT_EQ(h.control<QComboBox>(ScreenId::Main, "ResolutionCombo")->currentText(),
              QStringLiteral("640 x 480"));
    EXPECT_EQ(h.control<QComboBox>(ScreenId::Main, "CompressionCombo")->currentText(),
              QStringLiteral("FFV1 (lossless)"));
    EXPECT_EQ(h.control<QPushButton>(ScreenId::Main, "CmdConnect")->text(),
              QStringLiteral("Disconnect"));
    // What was stored is still stored for the next start.
    EXPECT_EQ(h.stored(QStringLiteral("VideoResolution")), QStringLiteral("0"));
    EXPECT_EQ(h.stored(QStringLiteral("ColorFormat")), QStringLiteral("1"));
    EXPECT_EQ(h.stored(QStringLiteral("device")), QStringLiteral("1"));
    EXPECT_EQ(h.stored(QStringLiteral("compression")), QStringLiteral("2"));
}

TEST(CapturePanel, NothingStoredLeavesTheDevicesResolutionAndRecordsMotionJpeg)
{
    Panel p;
    ASSERT_TRUE(p.started);
    EXPECT_EQ(p.control<QComboBox>("CompressionCombo")->currentText(), QStringLiteral("Motion JPEG"));
    EXPECT_EQ(p.h.camera().compressor, 0);
    EXPECT_FALSE(
        p.h.camera().calls.join(QLatin1Char('|')).contains(QStringLiteral("setVideoResolution")));
    EXPECT_EQ(p.control<QComboBox>("ResolutionCombo")->currentText(), QStringLiteral("1280 x 720"));
}

TEST(CapturePanel, ACameraPluggedInWhileOneIsConnectedIsListedWithoutAQuestion)
{
    Panel p;
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(p.h.camera().connected);
    p.h.camera().plugVideo(QStringLiteral("Camera B"));
    EXPECT_TRUE(p.h.prompter.texts().isEmpty());
    auto *list = p.control<QComboBox>("Combo1");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(1), QStringLiteral("Camera B"));
    EXPECT_EQ(list->currentIndex(), 0);
}

TEST(CapturePanel, ACameraPluggedIntoAMachineWithoutOneReplacesTheNoDeviceEntry)
{
    Panel p([](FakeCaptureDevice &c) { c.videoDevices.clear(); });
    ASSERT_TRUE(p.started);
    auto *list = p.control<QComboBox>("Combo1");
    ASSERT_EQ(list->currentText(), QStringLiteral("No Capture Devices"));
    QTest::mouseClick(p.control<QPushButton>("CmdConnect"), Qt::LeftButton);
    EXPECT_EQ(p.h.prompter.texts().last(),
              QStringLiteral("No MCI capture devices are installed on this system"));
    p.h.camera().plugVideo(QStringLiteral("Camera A"));
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(list->currentText(), QStringLiteral("Camera A"));
}

TEST(CapturePanel, AConnectFailureIsToldWithItsCodeInHexadecimal)
{
    Panel p([](FakeCaptureDevice &c) {
        c.connectFailure = CaptureError{capture_error::kDeviceBusy,
                                        QStringLiteral("Camera A is in use by another program")};
    });
    ASSERT_TRUE(p.started);
    QTest::mouseClick(p.control<QPushButton>("CmdConnect"), Qt::LeftButton);
    ASSERT_FALSE(p.h.prompter.prompts().isEmpty());
    EXPECT_EQ(p.h.prompter.prompts().last().text,
              QStringLiteral("Eror code: 80040002 Camera A is in use by another program"));
    EXPECT_EQ(p.h.prompter.prompts().last().title, QStringLiteral("Error"));
    EXPECT_EQ(p.control<QPushButton>("CmdConnect")->text(), QStringLiteral("Connect"));
}

TEST(CapturePanel, AnEffectTheControlNoLongerKnowsIsToldAndResetToNone)
{
    Panel p;
    ASSERT_TRUE(p.started);
    auto *effect = p.control<QComboBox>("Effect");
    effect->setCurrentIndex(1);
    EXPECT_EQ(p.h.camera().effect, 0);
    p.h.camera().effects = {QStringLiteral("Sharpen")};
    effect->setCurrentIndex(2);
    EXPECT_EQ(p.h.prompter.texts().last(), QStringLiteral("Cannot find Stronger contrast effect"));
    EXPECT_EQ(effect->currentIndex(), 0);
    EXPECT_EQ(p.h.camera().effect, -1);
}

TEST(CapturePanel, RateAndTimeLimitTakeOnlyNumbers)
{
    Panel p;
    ASSERT_TRUE(p.started);
    auto *rate = p.control<QLineEdit>("EdtRate");
    auto *limit = p.control<QLineEdit>("EdtLimit");
    for (QLineEdit *box : {rate, limit}) {
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("x1y0"));
        EXPECT_EQ(box->text(), QStringLiteral("10")) << box->objectName().toStdString();
    }
    QTest::keyClicks(rate, QStringLiteral(".5"));
    EXPECT_EQ(rate->text(), QStringLiteral("10.5"));
    QTest::keyClicks(limit, QStringLiteral(".5"));
    EXPECT_EQ(limit->text(), QStringLiteral("105")); // whole seconds: the point is refused
}
