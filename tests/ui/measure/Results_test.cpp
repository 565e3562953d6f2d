#include "core/app/AppContext.h"
#include "core/common/Clock.h"
#include "core/common/TextFile.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"
#include "ui/measure/Results.h"

#include <QPlainTextEdit>
#include <QPushButton>
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
