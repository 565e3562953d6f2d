#include "support/ProgramHarness.h"

#include "core/app/Navigator.h"
#include "ui/app/MainForm.h"
#include "ui/logs/frmManual.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

namespace {

// The program started and back on its main screen, as the operator finds it.
void startOnMainScreen(ProgramHarness &h)
{
    ASSERT_TRUE(h.startWithVideoDirectory());
    h.context().navigator().show(ScreenId::Main);
    ASSERT_TRUE(h.program().mainForm().isVisible());
}

void openManual(ProgramHarness &h)
{
    h.program().mainForm().findChild<QAction *>(QStringLiteral("munManual"))->trigger();
}

QString boxText(ProgramHarness &h)
{
    return h.control<QTextBrowser>(ScreenId::Manual, "RichTextBox1")->toPlainText();
}

} // namespace

TEST(frmManual, ViewManualHidesTheMainScreenAndDoneBringsItBackKeepingTheText)
{
    ProgramHarness h;
    startOnMainScreen(h);
    const qsizetype prompts = h.prompter.prompts().size();
    openManual(h);
    QWidget *manual = h.program().screen(ScreenId::Manual);
    ASSERT_NE(manual, nullptr);
    EXPECT_TRUE(manual->isVisible());
    EXPECT_FALSE(h.program().mainForm().isVisible());
    EXPECT_EQ(manual->windowTitle(), QStringLiteral("Skelvin 2005 Manual"));
    EXPECT_EQ(h.control<QLabel>(ScreenId::Manual, "Label1")->text(),
              QStringLiteral("Skelvin 2005 Manual"));
    EXPECT_TRUE(boxText(h).startsWith(QStringLiteral("Skelvin 2005 Manual\n")));
    EXPECT_TRUE(boxText(h).contains(QStringLiteral("A jump from start to finish")));
    EXPECT_TRUE(h.control<QTextBrowser>(ScreenId::Manual, "RichTextBox1")->isReadOnly());
    // The box is 100 twips narrower than the screen.
    const int twipsAsPixels = qRound(100.0 * manual->logicalDpiX() / 1440.0);
    QTRY_COMPARE(h.control<QTextBrowser>(ScreenId::Manual, "RichTextBox1")->width(),
                 manual->width() - twipsAsPixels);

    const QString shown = boxText(h);
    auto *done = h.control<QPushButton>(ScreenId::Manual, "cmdDone");
    EXPECT_EQ(done->text(), QStringLiteral("Done"));
    QTest::mouseClick(done, Qt::LeftButton);
    EXPECT_FALSE(manual->isVisible());
    EXPECT_TRUE(h.program().mainForm().isVisible());

    // Hidden, not closed: the text stays, even when the file has gone meanwhile.
    ASSERT_TRUE(QFile::remove(h.dirs.paths().appFile(QStringLiteral("DE05Manual.rtf"))));
    openManual(h);
    EXPECT_TRUE(manual->isVisible());
    EXPECT_EQ(boxText(h), shown);
    EXPECT_EQ(h.prompter.prompts().size(), prompts);
}

TEST(frmManual, AMissingManualIsNamedInTheBoxAndReadOnceInPlace)
{
    ProgramHarness h;
    startOnMainScreen(h);
    const QString path = h.dirs.paths().appFile(QStringLiteral("DE05Manual.rtf"));
    ASSERT_TRUE(QFile::remove(path));
    const qsizetype prompts = h.prompter.prompts().size();
    openManual(h);
    EXPECT_TRUE(h.program().screen(ScreenId::Manual)->isVisible());
    EXPECT_EQ(boxText(h),
              QStringLiteral("The manual DE05Manual.rtf cannot be shown.\n\n%1 does not exist.")
                  .arg(path));
    EXPECT_EQ(h.prompter.prompts().size(), prompts);

    // A manual put in place meanwhile is read at the next showing.
    h.dirs.writeFile(QStringLiteral("app/DE05Manual.rtf"), "{\\rtf1 Replaced {\\b manual}.}");
    ASSERT_TRUE(QFile::exists(path));
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Manual, "cmdDone"), Qt::LeftButton);
    openManual(h);
    EXPECT_EQ(boxText(h), QStringLiteral("Replaced manual."));
}
