#include "core/app/AppContext.h"
#include "core/common/Clock.h"
#include "core/common/TextFile.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"
#include "ui/measure/Results.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace skelvin;
using skelvin::test::ScriptedPrompter;
using skelvin::test::TestDirs;

TEST(ResultsScreen, EveryOpeningShowsTheFileAsItStandsThen)
{
    TestDirs dirs;
    FixedClock clock(QDateTime(QDate(2026, 12, 8), QTime(9, 28, 39)));
    ScriptedPrompter prompter;
    AppContext context(dirs.paths(), clock, prompter, nullptr);
    const QString path = dirs.file(QStringLiteral("JumpMeasurementResults120826.txt"));
    context.results().setPath(path);

    Results results(context);
    auto *box = results.findChild<QPlainTextEdit *>(QStringLiteral("output_box"));
    auto *exitButton = results.findChild<QPushButton *>(QStringLiteral("Exit_results"));
    ASSERT_TRUE(box && exitButton);
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(exitButton->text(), QStringLiteral("E&xit"));

    results.showResults();
    EXPECT_TRUE(results.isVisible());
    EXPECT_EQ(results.windowTitle(), path);
    EXPECT_TRUE(box->toPlainText().startsWith(QStringLiteral("No results recorded yet")));

    ASSERT_FALSE(appendTextLines(path, {QStringLiteral("first")}));
    results.showResults();
    results.showResults();
    EXPECT_EQ(box->toPlainText(), QStringLiteral("first\n"));
    ASSERT_FALSE(appendTextLines(path, {QStringLiteral("second")}));
    EXPECT_EQ(box->toPlainText(), QStringLiteral("first\n"));

    QTest::mouseClick(exitButton, Qt::LeftButton);
    EXPECT_FALSE(results.isVisible());
    EXPECT_TRUE(box->toPlainText().isEmpty());
    results.showResults();
    EXPECT_EQ(box->toPlainText(), QStringLiteral("first\nsecond\n"));
    EXPECT_TRUE(prompter.prompts().isEmpty());
}

// The jump just recorded is at the end of the file: the viewer opens there, and Escape
// closes it.
TEST(ResultsScreen, OpensAtTheNewestLineAndEscapeCloses)
{
    TestDirs dirs;
    FixedClock clock(QDateTime(QDate(2026, 12, 8), QTime(9, 28, 39)));
    ScriptedPrompter prompter;
    AppContext context(dirs.paths(), clock, prompter, nullptr);
    const QString path = dirs.file(QStringLiteral("JumpMeasurementResults120826.txt"));
    context.results().setPath(path);
    QStringList lines;
    for (int i = 1; i <= 300; ++i)
        lines << QStringLiteral("jump line %1").arg(i);
    ASSERT_FALSE(appendTextLines(path, lines));

    Results results(context);
    results.showResults();
    auto *box = results.findChild<QPlainTextEdit *>(QStringLiteral("output_box"));
    // The newest line is in view, scrolled down to, not the first page of the file.
    EXPECT_TRUE(box->textCursor().atEnd());
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return box->verticalScrollBar()->value() > 0
               && box->viewport()->rect().contains(box->cursorRect().center());
    }, 2000));

    ASSERT_TRUE(QTest::qWaitForWindowActive(&results));
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(results.isVisible());
}
