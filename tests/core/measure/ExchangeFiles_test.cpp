#include "core/measure/ExchangeFiles.h"
#include "core/measure/ResultsViewerText.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"

#include <gtest/gtest.h>

using namespace skelvin;
using skelvin::test::ScriptedPrompter;
using skelvin::test::TestDirs;

TEST(ExchangeFiles, OnlyAFirstFieldOfExactlyReadyIsTheFlag)
{
    TestDirs dirs;
    const ExchangeFiles files(dirs.paths().exchangeDir());
    EXPECT_FALSE(files.pictureReady()); // no flag file yet

    const auto flagIs = [&](const QByteArray &content) {
        dirs.writeFile(QStringLiteral("drive/qvio/clipflag.txt"), content);
        return files.pictureReady();
    };
    EXPECT_TRUE(flagIs("Ready\r\n"));
    EXPECT_TRUE(flagIs("  Ready, x\r\n"));
    EXPECT_TRUE(flagIs("\"Ready\"\r\n"));
    EXPECT_FALSE(flagIs("ready\r\n"));
    EXPECT_FALSE(flagIs("Ready now\r\n"));
    EXPECT_FALSE(flagIs("  \r\n"));
    EXPECT_FALSE(flagIs(""));

    flagIs("Ready\r\n");
    EXPECT_FALSE(files.clearPictureFlag());
    EXPECT_EQ(TestDirs::readFile(files.file(QStringLiteral("clipflag.txt"))), QByteArray("  \r\n"));
    EXPECT_FALSE(files.pictureReady());

    EXPECT_FALSE(ExchangeFiles(TestDirs(false).paths().exchangeDir()).pictureReady());
}

TEST(ExchangeFiles, SkierNameIsTheFirstFieldOrTheOperatorIsTold)
{
    TestDirs dirs;
    ScriptedPrompter prompter;
    const ExchangeFiles files(dirs.paths().exchangeDir());

    dirs.writeFile(QStringLiteral("drive/qvio/qvskier.nam"), "  Skier A, Club B\r\nNext\r\n");
    EXPECT_EQ(files.readSkierName(prompter), QStringLiteral("Skier A"));
    dirs.writeFile(QStringLiteral("drive/qvio/qvskier.nam"), "\"Doe, Jane\",USA\r\n");
    EXPECT_EQ(files.readSkierName(prompter), QStringLiteral("Doe, Jane"));
    EXPECT_TRUE(prompter.prompts().isEmpty());

    dirs.writeFile(QStringLiteral("drive/qvio/qvskier.nam"), " \r\n");
    EXPECT_EQ(files.readSkierName(prompter), std::nullopt);
    const ExchangeFiles missing(TestDirs(false).paths().exchangeDir());
    EXPECT_EQ(missing.readSkierName(prompter), std::nullopt);
    ASSERT_EQ(prompter.prompts().size(), 2);
    for (const QString &text : prompter.texts())
        EXPECT_TRUE(text.startsWith(QStringLiteral("Error while reading WSTIMS name file: ")) && text.contains(QStringLiteral("qvskier.nam")))
            << text.toStdString();
}

TEST(ResultsViewerText, ShowsTheFileOrSaysWhyNot)
{
    TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("results.txt"));
    EXPECT_EQ(resultsViewerText(path), QStringLiteral("No results recorded yet\n\nResults file: ") + path);

    dirs.writeFile(QStringLiteral("results.txt"), "line one\r\nZ\xfcrich\r\n");
    EXPECT_EQ(resultsViewerText(QStringLiteral("  ") + path), QStringLiteral("line one\nZ\u00fcrich\n"));

    const QString unreadable = resultsViewerText(dirs.root());
    EXPECT_TRUE(unreadable.startsWith(QStringLiteral("The results file could not be read."))) << unreadable.toStdString();
    EXPECT_TRUE(unreadable.contains(dirs.root()));
}
