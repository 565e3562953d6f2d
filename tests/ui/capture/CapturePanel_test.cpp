#include "support/ProgramHarness.h"

#include "core/capture/CaptureControl.h"
#include "ui/app/MainForm.h"

#include <QCheckBox>
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

// The sizes a camera offers depend on its colour format: the stored colour format is put back
// before the stored size, an index among that format's sizes, and a new colour format lists
// its own sizes, so that the size chosen is the size shown.
TEST(CapturePanel, TheSizesListedAreThoseOfTheColourFormatChosen)
{
    ProgramHarness h;
    h.useSimulatedCamera();
    h.store(QStringLiteral("ColorFormat"), QStringLiteral("2"));     // Motion-JPEG
    h.store(QStringLiteral("VideoResolution"), QStringLiteral("1")); // its 1920 x 1080
    ASSERT_TRUE(h.startWithVideoDirectory());
    auto *control = dynamic_cast<CaptureControl *>(&h.context().captureDevice());
    ASSERT_TRUE(control);
    auto *sizes = h.control<QComboBox>(ScreenId::Main, "ResolutionCombo");
    auto *colours = h.control<QComboBox>(ScreenId::Main, "ColorFormatCombo");
    EXPECT_EQ(control->currentPixelFormat(), QStringLiteral("mjpeg"));
    EXPECT_EQ(control->videoSize(), QSize(1920, 1080));
    EXPECT_EQ(sizes->count(), 2);
    EXPECT_EQ(sizes->currentText(), QStringLiteral("1920 x 1080"));
    EXPECT_EQ(h.stored(QStringLiteral("VideoResolution")), QStringLiteral("1"));

    // YUYV offers no 1920 x 1080: its first size is taken, and its sizes are listed.
    colours->setCurrentIndex(3);
    EXPECT_EQ(control->currentPixelFormat(), QStringLiteral("yuyv422"));
    EXPECT_EQ(control->videoSize(), QSize(640, 480));
    ASSERT_EQ(sizes->count(), 2);
    EXPECT_EQ(sizes->itemText(1), QStringLiteral("1280 x 720"));
    EXPECT_EQ(sizes->currentText(), QStringLiteral("640 x 480"));
    EXPECT_EQ(h.stored(QStringLiteral("VideoResolution")), QStringLiteral("0"));
    sizes->setCurrentIndex(1);
    EXPECT_EQ(control->videoSize(), QSize(1280, 720));
    EXPECT_EQ(h.stored(QStringLiteral("VideoResolution")), QStringLiteral("1"));
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

// A test capture records into the video folder and never replaces a file there, the default
// "testvid.avi" nor a file chosen with Browse.
TEST(CapturePanel, ATestCaptureGoesToTheVideoFolderAndReplacesNoFile)
{
    Panel p;
    ASSERT_TRUE(p.started);
    p.h.dirs.writeFile(QStringLiteral("videos/testvid.avi"), "kept");
    p.h.dirs.writeFile(QStringLiteral("elsewhere/mine.avi"), "mine");
    auto *cap = p.control<QPushButton>("CmdCap");
    ASSERT_EQ(cap->text(), QStringLiteral("Capture Stream"));
    const auto testCapture = [&] {
        QTest::mouseClick(cap, Qt::LeftButton);
        const QString started = p.h.camera().calls.filter(QStringLiteral("StartCapture")).last();
        QTest::mouseClick(cap, Qt::LeftButton); // End Capture
        return started;
    };
    EXPECT_EQ(testCapture(),
              QStringLiteral("StartCapture ") + p.h.videos() + QStringLiteral("/testvid (2).avi"));
    EXPECT_EQ(testCapture(),
              QStringLiteral("StartCapture ") + p.h.videos() + QStringLiteral("/testvid (3).avi"));
    EXPECT_EQ(TestDirs::readFile(p.h.videos() + QStringLiteral("/testvid.avi")), "kept");

    p.h.prompter.choose(p.h.dirs.file(QStringLiteral("elsewhere/mine.avi")));
    QTest::mouseClick(p.control<QPushButton>("CmdCapFN"), Qt::LeftButton);
    EXPECT_EQ(testCapture(), QStringLiteral("StartCapture ") +
                                 p.h.dirs.file(QStringLiteral("elsewhere/mine (2).avi")));
    EXPECT_EQ(TestDirs::readFile(p.h.dirs.file(QStringLiteral("elsewhere/mine.avi"))), "mine");
}

// The emergency reset clears the stored compressor: the start after it records Motion JPEG, as
// with nothing stored, not uncompressed frames.
TEST(CapturePanel, AfterTheEmergencyResetOfTheCompressorMotionJpegRecords)
{
    ProgramHarness h;
    h.store(QStringLiteral("logpath"), h.videos());
    h.store(QStringLiteral("compression"), QStringLiteral("3"));
    h.prompter.answer(Answer::Yes).answer(Answer::Yes); // reset, certain
    h.prompter.answer(Answer::No).answer(Answer::No);   // logpath, barefoot
    h.prompter.answer(Answer::Yes);                     // compression
    for (int i = 0; i < 5; ++i)
        h.prompter.answer(Answer::No);
    ASSERT_TRUE(h.program().start());
    EXPECT_EQ(h.control<QComboBox>(ScreenId::Main, "CompressionCombo")->currentText(),
              QStringLiteral("Motion JPEG"));
    EXPECT_EQ(h.camera().compressor, 0);
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

// The preview button says what its press will do from the first press on, and after
// Disconnect the status line no longer names the device.
TEST(CapturePanel, ThePreviewButtonSwitchesAtItsFirstPressAndDisconnectIsSaid)
{
    ProgramHarness h;
    ASSERT_TRUE(h.startWithVideoDirectory());
    auto *preview = h.control<QPushButton>(ScreenId::Main, "CmdPreview");
    ASSERT_TRUE(h.camera().PreviewEnabled()); // start-up switches it on
    EXPECT_EQ(preview->text(), QStringLiteral("Preview Off"));
    QTest::mouseClick(preview, Qt::LeftButton);
    EXPECT_FALSE(h.camera().PreviewEnabled());
    EXPECT_EQ(preview->text(), QStringLiteral("Preview On"));
    QTest::mouseClick(preview, Qt::LeftButton);
    EXPECT_TRUE(h.camera().PreviewEnabled());
    EXPECT_EQ(preview->text(), QStringLiteral("Preview Off"));

    emit h.camera().statusText(QStringLiteral("Connected to Fake camera"));
    auto *status = h.control<QLabel>(ScreenId::Main, "LblStatus");
    ASSERT_EQ(status->text(), QStringLiteral("Connected to Fake camera"));
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Main, "CmdConnect"), Qt::LeftButton);
    EXPECT_EQ(h.control<QPushButton>(ScreenId::Main, "CmdConnect")->text(), QStringLiteral("Connect"));
    EXPECT_EQ(status->text(), QStringLiteral("Not connected"));
}

// Browse for the test capture's file offers what the capture type writes: AVI for streams,
// the still picture types for frames.
TEST(CapturePanel, BrowseOffersTheTypeTheTestCaptureWrites)
{
    Panel p;
    ASSERT_TRUE(p.started);
    auto *type = p.control<QComboBox>("CaptureType");
    ASSERT_EQ(type->currentIndex(), 1); // Streams
    p.h.prompter.cancelFile();
    QTest::mouseClick(p.control<QPushButton>("CmdCapFN"), Qt::LeftButton);
    FileDialogRequest asked = p.h.prompter.prompts().last().file;
    ASSERT_EQ(asked.filters.size(), 1);
    EXPECT_EQ(asked.filters.first().patterns, QStringLiteral("*.avi"));
    EXPECT_EQ(asked.defaultSuffix, QStringLiteral("avi"));

    type->setCurrentIndex(0); // Frames
    p.h.prompter.cancelFile();
    QTest::mouseClick(p.control<QPushButton>("CmdCapFN"), Qt::LeftButton);
    asked = p.h.prompter.prompts().last().file;
    EXPECT_EQ(asked.defaultSuffix, QStringLiteral("jpg"));
    EXPECT_EQ(asked.filters.first().patterns, QStringLiteral("*.bmp;*.jpg;*.pic"));
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

// AutoSave takes the Interval box in milliseconds: when the box is left with AutoSave on, the
// control gets the new Interval at once, not only at the next click of AutoSave.
TEST(CapturePanel, ANewIntervalReachesARunningAutoSave)
{
    Panel p;
    ASSERT_TRUE(p.started);
    p.control<QComboBox>("CaptureType")->setCurrentIndex(0); // Frames
    auto *interval = p.control<QLineEdit>("EdtInterval");
    interval->setText(QStringLiteral("500"));
    p.control<QCheckBox>("ChkAutoSave")->click(); // the panel may be folded away
    EXPECT_TRUE(p.h.camera().still.autoSave);
    EXPECT_EQ(p.h.camera().still.intervalMs, 500);

    interval->setText(QStringLiteral("250"));
    emit interval->editingFinished();
    EXPECT_EQ(p.h.camera().still.intervalMs, 250);
}
