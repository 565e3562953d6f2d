#include "support/ProgramHarness.h"

#include "core/common/TextFile.h"
#include "core/logs/SessionLog.h"
#include "ui/app/MainForm.h"
#include "ui/capture/PreviewForm.h"
#include "ui/capture/frmSelectSkier.h"
#include "ui/common/PictureView.h"
#include "ui/frames/FramePlayer.h"
#include "ui/frames/frmSetStart.h"
#include "ui/logs/LogList.h"
#include "ui/logs/LogView.h"
#include "ui/logs/PictureLogView.h"
#include "ui/measure/Measure.h"

#include "../../core/frames/TestVideo.h"

#include <QAction>
#include <QFontMetrics>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

namespace {

// The whole program started on 12-08-2026 with grid 1 ready and the main screen in front; the
// day's session log holds its start line.
class LogViewers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.storeStraightDownGrid();
        ASSERT_TRUE(h.startWithVideoDirectory());
        h.prompter.clear();
        h.context().navigator().show(ScreenId::Main);
    }

    QString todaysLog() const
    {
        return h.videos() + QStringLiteral("/JumpMeasurementLog120826.txt");
    }
    void log(const QStringList &lines) { ASSERT_FALSE(appendTextLines(todaysLog(), lines)); }
    static QString videoLine(const QString &path)
    {
        return VideoLogLine(QStringLiteral("12-08-2026"), QStringLiteral("10:00:00"),
                            QStringLiteral("Jane Doe"), QStringLiteral("2"), 12, path);
    }
    static QString pictureLine(const QString &path)
    {
        return PictureLogLine(QStringLiteral("12-08-2026"), QStringLiteral("10:00:00"),
                              QStringLiteral("Jane Doe"), 2, QStringLiteral(" 45.1m"), path);
    }
    QString makeVideo(const QString &name)
    {
        const QString path = h.videos() + QLatin1Char('/') + name;
        TestVideoRecipe recipe;
        recipe.frames = 30;
        recipe.rateNum = 30;
        recipe.rateDen = 1;
        EXPECT_EQ(writeTestVideo(path, recipe), QString());
        return path;
    }

    void openFromMenu(ScreenId screen, const char *menuItem)
    {
        h.program().screen(screen)->findChild<QAction *>(QString::fromLatin1(menuItem))->trigger();
    }
    template <typename W = QWidget> W *control(ScreenId viewer, const char *name)
    {
        return h.control<W>(viewer, name);
    }
    QStringList listed(ScreenId viewer, const char *list)
    {
        QStringList lines;
        auto *box = control<QListWidget>(viewer, list);
        for (int i = 0; i < box->count(); ++i)
            lines << box->item(i)->text();
        return lines;
    }
    void doubleClickLine(ScreenId viewer, const char *list, int row)
    {
        auto *box = control<QListWidget>(viewer, list);
        const QRect rect = box->visualItemRect(box->item(row));
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, rect.center());
    }
    frmSetStart *frameSelection()
    {
        return static_cast<frmSetStart *>(h.program().screen(ScreenId::FrameSelection));
    }
    Measure *measure() { return static_cast<Measure *>(h.program().screen(ScreenId::Measure)); }

    ProgramHarness h;
};

} // namespace

// Both viewers open on the day's log over the main screen without blocking it, and each
// opening starts afresh; a day of only session starts lists nothing.
TEST_F(LogViewers, OpenOverTheMainScreenOnTheDaysLogAndStartAfresh)
{
    MainForm &main = h.program().mainForm();
    openFromMenu(ScreenId::Main, "mnuViewLog");
    QPointer<QWidget> video = h.program().screen(ScreenId::VideoLog);
    ASSERT_TRUE(video && video->isVisible());
    EXPECT_EQ(video->windowTitle(), QStringLiteral("Log Viewer"));
    EXPECT_EQ(video->parentWidget(), &main);
    EXPECT_EQ(video->windowModality(), Qt::NonModal);
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(control<QLineEdit>(ScreenId::VideoLog, "txtLogFile")->text(), todaysLog());
    EXPECT_TRUE(listed(ScreenId::VideoLog, "lstLog").isEmpty());

    openFromMenu(ScreenId::Main, "mnuPictureLog");
    QWidget *picture = h.program().screen(ScreenId::PictureLog);
    ASSERT_TRUE(picture && picture->isVisible());
    EXPECT_EQ(picture->windowTitle(), QStringLiteral("Contact Picture Log"));
    EXPECT_TRUE(listed(ScreenId::PictureLog, "lstPicLog").isEmpty());

    // The lines written since show at the next opening, in a new viewer.
    const QString avi = videoLine(QStringLiteral("/v/Jane Doejump2.avi"));
    const QString bmp = pictureLine(QStringLiteral("/v/Jane Doejump2.bmp"));
    log({avi, bmp, videoLine(QStringLiteral("/v/OLDjump1.AVI"))});
    control<QLineEdit>(ScreenId::VideoLog, "txtFileToView")->setText(QStringLiteral("typed"));
    openFromMenu(ScreenId::Main, "mnuViewLog");
    QTRY_VERIFY(video.isNull());
    EXPECT_EQ(listed(ScreenId::VideoLog, "lstLog"), QStringList{avi});
    EXPECT_EQ(control<QLineEdit>(ScreenId::VideoLog, "txtFileToView")->text(), QString());
    openFromMenu(ScreenId::Main, "mnuPictureLog");
    EXPECT_EQ(listed(ScreenId::PictureLog, "lstPicLog"), QStringList{bmp});

    // Exit closes the viewer for good.
    QPointer<QWidget> again = h.program().screen(ScreenId::VideoLog);
    QTest::mouseClick(control<QPushButton>(ScreenId::VideoLog, "cmdDismiss"), Qt::LeftButton);
    QTRY_VERIFY(again.isNull());
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(h.prompter.prompts().isEmpty());
}

// View hands the chosen video to frame selection, which opens it; from the main screen the main
// screen steps back, and from frame selection itself the video replaces the one on show.
TEST_F(LogViewers, ViewReachesFrameSelectionWithTheVideoLoaded)
{
    const QString first = makeVideo(QStringLiteral("Jane Doejump2.avi"));
    const QString second = makeVideo(QStringLiteral("Jane Doejump3.avi"));
    log({videoLine(first), videoLine(second)});

    openFromMenu(ScreenId::Main, "mnuViewLog");
    // With nothing chosen View does nothing.
    QTest::mouseClick(control<QPushButton>(ScreenId::VideoLog, "cmdView"), Qt::LeftButton);
    QPointer<QWidget> viewer = h.program().screen(ScreenId::VideoLog);
    ASSERT_TRUE(viewer && viewer->isVisible());

    doubleClickLine(ScreenId::VideoLog, "lstLog", 0);
    QTRY_VERIFY(viewer.isNull());
    EXPECT_EQ(h.context().handOver.viewFileName, first);
    EXPECT_FALSE(h.program().mainForm().isVisible());
    ASSERT_TRUE(frameSelection()->isVisible());
    QTRY_VERIFY(frameSelection()->viewDone());
    EXPECT_EQ(frameSelection()->player().fileName(), first);
    EXPECT_EQ(h.control<QLineEdit>(ScreenId::FrameSelection, "Text6")->text(), first);

    // "View Log File" of frame selection: the viewer belongs to it, and the next video opens.
    QTest::mouseClick(h.control<QPushButton>(ScreenId::FrameSelection, "cmdViewLog"),
                      Qt::LeftButton);
    viewer = h.program().screen(ScreenId::VideoLog);
    ASSERT_TRUE(viewer && viewer->isVisible());
    EXPECT_EQ(viewer->parentWidget(), frameSelection());
    auto *list = control<QListWidget>(ScreenId::VideoLog, "lstLog");
    list->setCurrentRow(1);
    EXPECT_EQ(control<QLineEdit>(ScreenId::VideoLog, "txtFileToView")->text(), second);
    QTest::mouseClick(control<QPushButton>(ScreenId::VideoLog, "cmdView"), Qt::LeftButton);
    QTRY_VERIFY(viewer.isNull());
    QTRY_COMPARE(frameSelection()->player().fileName(), second);
    EXPECT_TRUE(frameSelection()->isVisible());
    EXPECT_TRUE(h.prompter.prompts().isEmpty());
}

// View Picture puts the saved picture on the measure screen with its path under the grid
// description; with no picture chosen it only closes and shows the measure screen.
TEST_F(LogViewers, ViewPictureShowsThePictureOnTheMeasureScreenOrJustTheScreen)
{
    QImage saved(320, 240, QImage::Format_RGB888);
    saved.fill(QColor(200, 40, 40));
    const QString path = h.videos() + QStringLiteral("/Jane Doejump2.bmp");
    ASSERT_TRUE(saved.save(path, "BMP"));
    log({pictureLine(path), QStringLiteral("12-08-2026    10:00:00      no file field here.bmp")});

    // No path chosen: nothing is loaded and nothing fails.
    openFromMenu(ScreenId::Main, "mnuPictureLog");
    QPointer<QWidget> viewer = h.program().screen(ScreenId::PictureLog);
    control<QListWidget>(ScreenId::PictureLog, "lstPicLog")->setCurrentRow(1);
    EXPECT_EQ(control<QLineEdit>(ScreenId::PictureLog, "txtPictureToView")->text(), QString());
    QTest::mouseClick(control<QPushButton>(ScreenId::PictureLog, "cmdViewPicLog"), Qt::LeftButton);
    QTRY_VERIFY(viewer.isNull());
    ASSERT_TRUE(measure()->isVisible());
    EXPECT_FALSE(h.program().mainForm().isVisible());
    EXPECT_TRUE(measure()->pictureView().picture().isNull());
    EXPECT_NE(h.context().navigationTag, QStringLiteral("PictureLog"));
    EXPECT_TRUE(h.prompter.prompts().isEmpty());

    // From the measure screen's own menu, a double click on the picture's line.
    openFromMenu(ScreenId::Measure, "mnuViewLog");
    viewer = h.program().screen(ScreenId::PictureLog);
    ASSERT_TRUE(viewer && viewer->isVisible());
    EXPECT_EQ(viewer->parentWidget(), measure());
    doubleClickLine(ScreenId::PictureLog, "lstPicLog", 0);
    QTRY_VERIFY(viewer.isNull());
    EXPECT_EQ(measure()->pictureView().picture().size(), QSize(320, 240));
    EXPECT_EQ(h.context().navigationTag, QStringLiteral("PictureLog"));
    auto *name = h.control<QLineEdit>(ScreenId::Measure, "gif_file_name");
    auto *description = h.control<QLineEdit>(ScreenId::Measure, "grid_description");
    EXPECT_TRUE(name->isVisible());
    EXPECT_EQ(name->text(), path);
    EXPECT_EQ(name->pos(), QPoint(description->x(), description->y() + description->height()));
    EXPECT_TRUE(description->isVisible());
    EXPECT_TRUE(h.prompter.prompts().isEmpty());

    // A picture erased since it was logged is said, and the screen still comes.
    ASSERT_TRUE(QFile::remove(path));
    openFromMenu(ScreenId::Measure, "mnuViewLog");
    h.prompter.answer(Answer::Ok);
    doubleClickLine(ScreenId::PictureLog, "lstPicLog", 0);
    EXPECT_EQ(h.prompter.texts(),
              QStringList{QStringLiteral("The picture could not be loaded: ") + path});
    EXPECT_TRUE(measure()->isVisible());
}

// Another log is chosen in a dialog opened in the video folder that shows only session logs;
// cancelling keeps the log on show.
TEST_F(LogViewers, AnotherLogIsChosenAndACancelKeepsTheLogShown)
{
    const QString other = h.videos() + QStringLiteral("/JumpMeasurementLog120726.txt");
    const QString yesterday = videoLine(QStringLiteral("/v/Yesterday jump1.avi"));
    ASSERT_FALSE(writeTextLines(other, {yesterday}));
    openFromMenu(ScreenId::Main, "mnuViewLog");
    auto *logBox = control<QLineEdit>(ScreenId::VideoLog, "txtLogFile");
    auto *choose = control<QPushButton>(ScreenId::VideoLog, "cmdSelectLogFile");

    h.prompter.choose(other);
    QTest::mouseClick(choose, Qt::LeftButton);
    const FileDialogRequest &dialog = h.prompter.prompts()[0].file;
    EXPECT_EQ(dialog.startDirectory, h.videos());
    ASSERT_EQ(dialog.filters.size(), 1);
    EXPECT_EQ(dialog.filters[0].label, QStringLiteral("*.txt"));
    EXPECT_EQ(dialog.filters[0].patterns, QStringLiteral("JumpMeasurementLog*.txt"));
    EXPECT_EQ(logBox->text(), other);
    EXPECT_EQ(listed(ScreenId::VideoLog, "lstLog"), QStringList{yesterday});

    h.prompter.cancelFile();
    QTest::mouseClick(choose, Qt::LeftButton);
    EXPECT_EQ(logBox->text(), other);
    EXPECT_EQ(listed(ScreenId::VideoLog, "lstLog"), QStringList{yesterday});
}

// The horizontal scrolling range is a blank and the longest line by characters, in the list's
// own font; of equally long lines the first decides, however wide the others are drawn.
TEST_F(LogViewers, TheFirstOfTheLongestLinesSetsTheScrollRange)
{
    const QString narrow =
        videoLine(QStringLiteral("/v/") + QString(60, QLatin1Char('i')) + QStringLiteral(".avi"));
    const QString wide =
        videoLine(QStringLiteral("/v/") + QString(60, QLatin1Char('W')) + QStringLiteral(".avi"));
    log({videoLine(QStringLiteral("/v/short.avi")), narrow, wide});
    openFromMenu(ScreenId::Main, "mnuViewLog");
    auto *list = control<LogList>(ScreenId::VideoLog, "lstLog");
    ASSERT_TRUE(list);
    const int expected = QFontMetrics(list->font()).horizontalAdvance(QLatin1Char(' ') + narrow);
    EXPECT_EQ(list->horizontalExtent(), expected);
    list->window()->resize(400, 300);
    QTRY_COMPARE(list->horizontalScrollBar()->maximum(), expected - list->viewport()->width());

    // In a font that draws "W" wider than "i" the first line still decides.
    LogList proportional;
    QFont font = proportional.font();
    font.setStyleHint(QFont::SansSerif);
    font.setFamily(QStringLiteral("Sans Serif"));
    proportional.setFont(font);
    proportional.addItems({QStringLiteral("short"), narrow, wide});
    const QFontMetrics metrics(proportional.font());
    ASSERT_LT(metrics.horizontalAdvance(narrow), metrics.horizontalAdvance(wide));
    EXPECT_EQ(FitListHorizontalExtent(proportional),
              metrics.horizontalAdvance(QLatin1Char(' ') + narrow));
    EXPECT_EQ(proportional.horizontalExtent(),
              metrics.horizontalAdvance(QLatin1Char(' ') + narrow));

    // An empty list is left alone.
    LogList empty;
    empty.setHorizontalExtent(77);
    EXPECT_FALSE(FitListHorizontalExtent(empty).has_value());
    EXPECT_EQ(empty.horizontalExtent(), 77);
}

// The skier list stands beside the capture screen's name box with the names of the skier file;
// a double click puts one into the name box, "No Selection" changes nothing.
TEST_F(LogViewers, TheSkierListGivesTheCaptureScreenAName)
{
    h.dirs.writeFile(QStringLiteral("app/SkierNames.txt"), "Doe, Jane\r\n\r\nRoe,Rita\r\n");
    h.context().navigationTag = QStringLiteral("Capture");
    h.context().navigator().show(ScreenId::Capture);
    auto *name = h.control<QLineEdit>(ScreenId::Capture, "txtSkierName");
    ASSERT_EQ(name->text(), QStringLiteral("Doe  Jane"));

    QTest::mouseClick(h.control<QPushButton>(ScreenId::Capture, "cmdSelect"), Qt::LeftButton);
    QPointer<QWidget> list = h.program().screen(ScreenId::SelectSkier);
    ASSERT_TRUE(list && list->isVisible());
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Select A Skier"));
    EXPECT_EQ(list->parentWidget(), h.program().screen(ScreenId::Capture));
    EXPECT_EQ(list->pos(), QPoint(152, 8));
    EXPECT_EQ(listed(ScreenId::SelectSkier, "lstSkiers"),
              (QStringList{QStringLiteral("Doe  Jane"), QStringLiteral("Roe Rita")}));
    QTest::mouseClick(control<QPushButton>(ScreenId::SelectSkier, "cmdNoSelect"), Qt::LeftButton);
    QTRY_VERIFY(list.isNull());
    EXPECT_EQ(name->text(), QStringLiteral("Doe  Jane"));

    // A double click on the name box opens the list as well.
    h.control<QLineEdit>(ScreenId::Capture, "txtPass")->setText(QStringLiteral("3"));
    QTest::mouseDClick(name, Qt::LeftButton);
    list = h.program().screen(ScreenId::SelectSkier);
    ASSERT_TRUE(list && list->isVisible());
    doubleClickLine(ScreenId::SelectSkier, "lstSkiers", 1);
    QTRY_VERIFY(list.isNull());
    EXPECT_EQ(name->text(), QStringLiteral("Roe Rita"));
    EXPECT_EQ(h.control<QLineEdit>(ScreenId::Capture, "txtPass")->text(), QStringLiteral("1"));
    EXPECT_TRUE(h.prompter.prompts().isEmpty());

    // No skier file: the capture screen says so and no list opens.
    ASSERT_TRUE(QFile::remove(h.dirs.paths().appFile(QStringLiteral("SkierNames.txt"))));
    h.prompter.answer(Answer::Ok);
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Capture, "cmdSelect"), Qt::LeftButton);
    EXPECT_EQ(
        h.prompter.texts(),
        QStringList{QStringLiteral(
            "No file of skier names called SkierNames.txt exists in the application directory")});
    EXPECT_TRUE(h.program().screen(ScreenId::SelectSkier) == nullptr);

    // The file gone between that check and the list's load: said plainly, and an empty list.
    h.prompter.clear();
    h.prompter.answer(Answer::Ok);
    frmSelectSkier late(h.context());
    ASSERT_EQ(h.prompter.prompts().size(), 1);
    EXPECT_TRUE(
        h.prompter.texts()[0].startsWith(QStringLiteral("The skier names could not be read: ") +
                                         h.dirs.paths().appFile(QStringLiteral("SkierNames.txt"))));
    EXPECT_EQ(late.findChild<QListWidget *>(QStringLiteral("lstSkiers"))->count(), 0);
}

// A picture reopened from the picture log is measured as the jump it was saved for: its own
// skier and attempt, whatever attempt the measure screen had moved on to. The picture log has
// a way back of its own, and closing the main screen by its frame asks first.
TEST_F(LogViewers, APictureFromTheLogBringsItsSkierAndAttempt)
{
    QImage saved(320, 240, QImage::Format_RGB888);
    saved.fill(QColor(200, 40, 40));
    const QString path = h.videos() + QStringLiteral("/Jane Doejump2.bmp");
    ASSERT_TRUE(saved.save(path, "BMP"));
    log({pictureLine(path)});
    measure()->setSkierAndJump(QStringLiteral("John Roe"), QStringLiteral("5"));

    openFromMenu(ScreenId::Main, "mnuPictureLog");
    QPointer<QWidget> viewer = h.program().screen(ScreenId::PictureLog);
    QTest::mouseClick(control<QPushButton>(ScreenId::PictureLog, "cmdDismiss"), Qt::LeftButton);
    QTRY_VERIFY(viewer.isNull());
    EXPECT_TRUE(h.program().mainForm().isVisible());
    EXPECT_FALSE(measure()->isVisible());

    openFromMenu(ScreenId::Main, "mnuPictureLog");
    viewer = h.program().screen(ScreenId::PictureLog);
    doubleClickLine(ScreenId::PictureLog, "lstPicLog", 0);
    QTRY_VERIFY(viewer.isNull());
    ASSERT_TRUE(measure()->isVisible());
    EXPECT_EQ(h.control<QComboBox>(ScreenId::Measure, "Skier_name")->currentText(),
              QStringLiteral("Jane Doe"));
    EXPECT_EQ(h.control<QLineEdit>(ScreenId::Measure, "Jump_no")->text(), QStringLiteral("2"));

    h.context().navigator().show(ScreenId::Main);
    h.prompter.answer(Answer::No);
    h.program().mainForm().close();
    EXPECT_EQ(h.prompter.texts().last(), QStringLiteral("Are you sure you want to quit?"));
    EXPECT_TRUE(h.program().mainForm().isVisible());
}
