#include "core/app/EmergencyParameterReset.h"
#include "core/common/SettingsStore.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace skelvin;
using skelvin::test::ScriptedPrompter;
using skelvin::test::TestDirs;

TEST(SettingsStore, KeysMatchWithoutCaseAndWritesReachTheDiskPrivately)
{
    TestDirs dirs;
    const QString file = dirs.paths().settingsFile();
    {
        SettingsStore store(file);
        store.write(QStringLiteral("VideoResolution"), 3);
        store.write(QStringLiteral("videoresolution"), 4);
        store.write(QStringLiteral("logpath"), QStringLiteral("/home/op/Videos, day 1"));
        store.writeFlag(QStringLiteral("right2left"), true);
        EXPECT_EQ(store.read(QStringLiteral("VIDEORESOLUTION"), -1), QStringLiteral("4"));
        // Written once per write: a second store sees the value without any save step.
        SettingsStore other(file);
        EXPECT_EQ(other.read(QStringLiteral("VideoResolution"), -1), QStringLiteral("4"));
        EXPECT_EQ(other.read(QStringLiteral("LogPath")), QStringLiteral("/home/op/Videos, day 1"));
        EXPECT_TRUE(other.readFlag(QStringLiteral("right2left"), false));
    }
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup
        | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_EQ(QFile::permissions(file) & others, QFileDevice::Permissions());
    EXPECT_TRUE(QFile::permissions(file) & QFileDevice::WriteOwner);
    SettingsStore reopened(file);
    EXPECT_EQ(reopened.readInt(QStringLiteral("videoResolution"), -1), 4);
    const QByteArray text = TestDirs::readFile(file);
    EXPECT_EQ(text.count("esolution="), 1) << text.constData();
}

TEST(SettingsStore, MissingKeysGiveTheirDefaultsAsText)
{
    TestDirs dirs;
    SettingsStore store(dirs.paths().settingsFile());
    EXPECT_EQ(store.read(QStringLiteral("grids"), 0), QStringLiteral("0"));
    EXPECT_EQ(store.read(QStringLiteral("device"), -1), QStringLiteral("-1"));
    EXPECT_EQ(store.read(QStringLiteral("right2left"), false), QStringLiteral("False"));
    EXPECT_EQ(store.read(QStringLiteral("SetupFiles")), QString());
    EXPECT_FALSE(store.readFlag(QStringLiteral("boxlineoff"), false));
    EXPECT_EQ(store.readNumber(QStringLiteral("captureTime"), 0), 0.0);

    store.write(QStringLiteral("captureTime"), QStringLiteral("4.0"));
    store.write(QStringLiteral("WSTIMS"), QStringLiteral("1"));
    store.write(QStringLiteral("grids"), QStringLiteral("two"));
    EXPECT_EQ(store.readNumber(QStringLiteral("captureTime"), 0), 4.0);
    EXPECT_TRUE(store.readFlag(QStringLiteral("wstims"), false));
    EXPECT_EQ(store.readInt(QStringLiteral("grids"), 0), 0); // a word where a number is read
    store.write(QStringLiteral("grids"), QStringLiteral("99999999"));
    EXPECT_EQ(store.readInt(QStringLiteral("grids"), 1), 1);
}

TEST(EmergencyParameterReset, AsksTwiceThenKeyByKey)
{
    TestDirs dirs;
    SettingsStore store(dirs.paths().settingsFile());
    store.write(QStringLiteral("logpath"), QStringLiteral("/data/videos"));
    store.write(QStringLiteral("logfile"), QStringLiteral("JumpMeasurementLog120826.txt"));
    store.write(QStringLiteral("grid2File"), QStringLiteral("/grids/g2.ipt"));
    store.write(QStringLiteral("device"), 2);

    {   // No to the first question: nothing else is asked.
        ScriptedPrompter prompter;
        prompter.answer(Answer::No);
        EmergencyParameterReset(store, prompter);
        ASSERT_EQ(prompter.prompts().size(), 1);
        EXPECT_EQ(prompter.prompts()[0].text, QStringLiteral("Do you want to reset all parameters to install values?"));
        EXPECT_EQ(prompter.prompts()[0].title, QStringLiteral("Emergency Parameter Reset"));
        EXPECT_EQ(prompter.prompts()[0].icon, MessageIcon::Question);
        EXPECT_EQ(prompter.prompts()[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(prompter.prompts()[0].defaultAnswer, Answer::No);
    }
    {   // Yes, Yes, then No to all eight: nothing is cleared; missing keys show as 0.
        ScriptedPrompter prompter;
        prompter.answer(Answer::Yes).answer(Answer::Yes);
        for (int i = 0; i < 8; ++i)
            prompter.answer(Answer::No);
        EmergencyParameterReset(store, prompter);
        EXPECT_EQ(prompter.texts(), (QStringList{
            QStringLiteral("Do you want to reset all parameters to install values?"),
            QStringLiteral("Are you certain? This means you are crashing and can't operate"),
            QStringLiteral("Logpath = /data/videos Clear it?"),
            QStringLiteral("barefoot = 0 Clear it?"),
            QStringLiteral("compression = 0 Clear it?"),
            QStringLiteral("device = 2 Clear it?"),
            QStringLiteral("framerate = 0 Clear it?"),
            QStringLiteral("Grid 1 File = 0 Clear it?"),
            QStringLiteral("Grid 2 File = /grids/g2.ipt Clear it?"),
            QStringLiteral("Grid 3 File = 0 Clear it?")}));
        EXPECT_EQ(store.read(QStringLiteral("logpath")), QStringLiteral("/data/videos"));
        EXPECT_FALSE(store.contains(QStringLiteral("barefoot")));
    }
    {   // Yes to the video directory and grid 2 only.
        ScriptedPrompter prompter;
        prompter.answer(Answer::Yes).answer(Answer::Yes).answer(Answer::Yes);
        for (int i = 0; i < 5; ++i)
            prompter.answer(Answer::No);
        prompter.answer(Answer::Yes).answer(Answer::No);
        EmergencyParameterReset(store, prompter);
        EXPECT_EQ(store.read(QStringLiteral("logpath"), 0), QString());
        EXPECT_EQ(store.read(QStringLiteral("logfile"), 0), QString());
        EXPECT_EQ(store.read(QStringLiteral("grid2File"), 0), QString());
        EXPECT_EQ(store.read(QStringLiteral("device"), 0), QStringLiteral("2"));
    }
}
