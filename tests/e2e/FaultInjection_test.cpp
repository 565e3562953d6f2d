#include "support/ProgramHarness.h"
#include "support/TestGrids.h"

#include "core/common/FileFaults.h"
#include "core/grid_setup/GridSetupFile.h"
#include "ui/common/PictureView.h"
#include "ui/measure/Measure.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace skelvin;
using namespace skelvin::test;

namespace {

// How a write is made to fail.
enum class Fault {
    DiskFull,   // the disk fills up a few bytes into the write
    ReadOnly,   // the medium is read-only
    FolderGone, // the folder was taken away (a pulled USB disk) and comes back later
};

QString reasonOf(Fault fault)
{
    switch (fault) {
    case Fault::DiskFull:
        return QStringLiteral("No space left on device");
    case Fault::ReadOnly:
        return QStringLiteral("Read-only file system");
    case Fault::FolderGone:
        break;
    }
    return QStringLiteral("No such file or directory");
}

const char *nameOf(Fault fault)
{
    switch (fault) {
    case Fault::DiskFull:
        return "DiskFull";
    case Fault::ReadOnly:
        return "ReadOnly";
    case Fault::FolderGone:
        break;
    }
    return "FolderGone";
}

class FaultInjection;

// One file the program writes, how an operator makes it write, and where a fault hits it.
struct Writer
{
    const char *name;
    std::function<QString(FaultInjection &)> file;   // the file whose bytes must survive
    std::function<QString(FaultInjection &)> target; // the folder (or file) the fault is set on
    std::function<void(FaultInjection &)> act;       // the operator's action that writes it
    bool appends;                                    // lines added, or the file replaced
};

struct Case
{
    int writer;
    Fault fault;
};

std::vector<Writer> writers();

// The whole program with grid 1 loaded from a setup files folder, the WSTIMS link on, and the
// frame picture on the measure screen.
class FaultInjection : public ::testing::TestWithParam<Case>
{
public:
    void SetUp() override
    {
        QDir().mkpath(setups());
        gridPath = setups() + QStringLiteral("/grid1.ipt");
        ASSERT_FALSE(writeGridSetupFile(gridPath, straightDownGrid(), 1));
        ASSERT_FALSE(writeCheckBuoyFile(checkBuoyFilePath(gridPath), {6000, 4500},
                                        QStringLiteral("60"), QStringLiteral("45")));
        h.store(QStringLiteral("grid1File"), gridPath);
        h.store(QStringLiteral("SetupFiles"), setups());
        h.store(QStringLiteral("WSTIMS"), QStringLiteral("1"));
        h.dirs.writeFramePicture();

        ASSERT_TRUE(h.startWithVideoDirectory());
        ASSERT_TRUE(h.context().grids().allGridsReady());
        h.prompter.clear();
        showMeasure();
    }

    void TearDown() override { FileFaults::clear(); }

    void showMeasure()
    {
        h.context().navigationTag = QStringLiteral("SelectFrame");
        h.context().navigator().show(ScreenId::Measure);
        measure = static_cast<Measure *>(h.program().screen(ScreenId::Measure));
        measure->setSkierAndJump(QStringLiteral("Skier A"), QStringLiteral("3"));
    }

    void record()
    {
        QTest::mousePress(measure->pictureView().canvas(), Qt::LeftButton, {}, QPoint(400, 300));
        QTest::mouseClick(h.control<QPushButton>(ScreenId::Measure, "Record"), Qt::LeftButton);
    }

    QString picture() const { return h.videos() + QStringLiteral("/Skier Ajump3.bmp"); }

    void savePicture()
    {
        if (QFileInfo::exists(picture()))
            h.prompter.answer(Answer::Yes); // overwrite
        measure->findChild<QAction *>(QStringLiteral("SavePict"))->trigger();
    }

    void saveGrid()
    {
        h.context().navigator().show(ScreenId::GridSetup);
        h.prompter.choose(gridPath).type(QStringLiteral("east camera")).answer(Answer::Yes);
        h.program()
            .screen(ScreenId::GridSetup)
            ->findChild<QAction *>(QStringLiteral("gridSave"))
            ->trigger();
        showMeasure();
    }

    // What the operator was told (messages with only OK), leaving out the questions asked.
    QStringList told() const
    {
        QStringList texts;
        for (const RecordedPrompt &p : h.prompter.prompts())
            if (p.kind == RecordedPrompt::Kind::Message && p.buttons == MessageButtons::Ok)
                texts << p.text;
        return texts;
    }

    QString setups() const { return h.dirs.file(QStringLiteral("setups")); }
    QString exchange() const { return h.dirs.paths().exchangeDir(); }

    ProgramHarness h;
    QString gridPath;
    Measure *measure = nullptr;
};

std::vector<Writer> writers()
{
    const auto videos = [](FaultInjection &t) { return t.h.videos(); };
    return {
        {"ResultsFile",
         [](FaultInjection &t) {
             return t.h.videos() + QStringLiteral("/JumpMeasurementResults120826.txt");
         },
         videos, [](FaultInjection &t) { t.record(); }, true},
        {"ExchangeResult",
         [](FaultInjection &t) { return t.exchange() + QStringLiteral("/qvresult.dst"); },
         [](FaultInjection &t) { return t.exchange(); }, [](FaultInjection &t) { t.record(); },
         false},
        {"ExchangeRaw",
         [](FaultInjection &t) { return t.exchange() + QStringLiteral("/qvraw.dst"); },
         // The status file is written first; a fault on the raw file alone reaches the append.
         [](FaultInjection &t) { return t.exchange() + QStringLiteral("/qvraw.dst"); },
         [](FaultInjection &t) { t.record(); }, true},
        {"SessionLog",
         [](FaultInjection &t) {
             return t.h.videos() + QStringLiteral("/JumpMeasurementLog120826.txt");
         },
         [](FaultInjection &t) {
             return t.h.videos() + QStringLiteral("/JumpMeasurementLog120826.txt");
         },
         [](FaultInjection &t) { t.savePicture(); }, true},
        {"Picture", [](FaultInjection &t) { return t.picture(); }, videos,
         [](FaultInjection &t) { t.savePicture(); }, false},
        {"GridFile", [](FaultInjection &t) { return t.gridPath; },
         [](FaultInjection &t) { return t.setups(); }, [](FaultInjection &t) { t.saveGrid(); },
         false},
    };
}

// A write that meets a full disk, a read-only medium or a vanished folder is told to the
// operator with the file and the reason, loses nothing written before, leaves no half line or
// half file, and goes through again once the fault is gone.
TEST_P(FaultInjection, IsToldKeepsWhatWasWrittenAndRecovers)
{
    const Writer writer = writers()[size_t(GetParam().writer)];
    const Fault fault = GetParam().fault;
    const QString file = writer.file(*this);

    writer.act(*this);
    ASSERT_TRUE(told().isEmpty()) << qPrintable(told().join('\n'));
    const QByteArray before = TestDirs::readFile(file);
    ASSERT_FALSE(before.isEmpty());

    const QString target = writer.target(*this);
    const QString folder = QFileInfo(target).isDir() ? target : QFileInfo(target).path();
    const QString away = folder + QStringLiteral(".away");
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    if (fault == Fault::FolderGone)
        ASSERT_TRUE(QDir().rename(folder, away));
    else
        FileFaults::set(
            target, fault == Fault::DiskFull ? FileFaultKind::DiskFull : FileFaultKind::ReadOnly,
            7);
    writer.act(*this);

    const QString expected = file + QStringLiteral(": ") + reasonOf(fault);
    const QStringList messages = told();
    const bool named = std::any_of(messages.begin(), messages.end(),
                                   [&](const QString &text) { return text.contains(expected); });
    // A setup files folder that is not there is refused before a file is chosen.
    const bool refusedFolder =
        fault == Fault::FolderGone &&
        messages.contains(QStringLiteral("Invalid path, change in configuration screen"));
    EXPECT_TRUE(named || (QLatin1String(writer.name) == QLatin1String("GridFile") && refusedFolder))
        << "expected a message holding \"" << qPrintable(expected) << "\"; told:\n"
        << qPrintable(messages.join('\n'));
    if (refusedFolder)
        h.prompter.clear(); // the file dialog was never shown: its queued answers go unused

    if (fault == Fault::FolderGone) {
        ASSERT_TRUE(QDir().rename(away, folder));
    }
    FileFaults::clear();
    EXPECT_EQ(TestDirs::readFile(file), before) << "the file changed under the fault";
    EXPECT_TRUE(QFile::exists(h.dirs.paths().currentCapture())) << "the frame picture was lost";
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), entries)
        << "a half-written file was left behind";

    h.prompter.clear();
    writer.act(*this);
    EXPECT_TRUE(told().isEmpty()) << qPrintable(told().join('\n'));
    const QByteArray after = TestDirs::readFile(file);
    if (writer.appends) {
        EXPECT_TRUE(after.startsWith(before));
        EXPECT_GT(after.size(), before.size());
        EXPECT_TRUE(after.endsWith("\r\n"));
    } else {
        EXPECT_FALSE(after.isEmpty());
    }
    if (QLatin1String(writer.name) == QLatin1String("GridFile")) {
        EXPECT_TRUE(readGridSetupFile(file)) << "the grid file does not read back";
    }
}

std::vector<Case> allCases()
{
    std::vector<Case> cases;
    const std::vector<Writer> all = writers();
    for (int w = 0; w < int(all.size()); ++w) {
        for (Fault f : {Fault::DiskFull, Fault::ReadOnly, Fault::FolderGone}) {
            // The session log and the raw file share their folder with a file written before
            // them in the same action; taking the folder away is covered by that file's case.
            const QLatin1String name(all[size_t(w)].name);
            if (f == Fault::FolderGone &&
                (name == QLatin1String("SessionLog") || name == QLatin1String("ExchangeRaw")))
                continue;
            cases.push_back({w, f});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Writers, FaultInjection, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case> &info) {
                             return std::string(writers()[size_t(info.param.writer)].name) + "_" +
                                    nameOf(info.param.fault);
                         });

} // namespace
