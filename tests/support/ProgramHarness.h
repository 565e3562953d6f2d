#pragma once

#include "app/Program.h"
#include "core/app/AppContext.h"
#include "core/capture/CaptureControl.h"
#include "core/common/Clock.h"
#include "core/grid_setup/GridSetupFile.h"
#include "core/simulation/SimulatedDeviceCatalog.h"
#include "support/FakeCaptureDevice.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"
#include "support/TestGrids.h"

#include <QDir>
#include <QSettings>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace skelvin::test {

// The whole program over a throwaway application directory, drive root and settings file,
// with a fixed clock and a scripted prompter.
class ProgramHarness
{
public:
    explicit ProgramHarness(bool withExchangeDir = true)
        : dirs(withExchangeDir), clock(QDateTime(QDate(2026, 12, 8), QTime(9, 28, 39)))
    {
        QDir().mkpath(videos());
    }
    // Over folders that outlive the harness: a later run finds what an earlier one wrote.
    explicit ProgramHarness(const QString &root)
        : dirs(root), clock(QDateTime(QDate(2026, 12, 8), QTime(9, 28, 39)))
    {
        QDir().mkpath(videos());
    }

    QString videos() const { return dirs.file(QStringLiteral("videos")); }

    // Stores a setting before the program starts.
    void store(const QString &key, const QString &value)
    {
        QSettings s(dirs.paths().settingsFile(), QSettings::IniFormat);
        s.setValue(QStringLiteral("Settings/") + key, value);
    }
    QString stored(const QString &key) const
    {
        QSettings s(dirs.paths().settingsFile(), QSettings::IniFormat);
        return s.value(QStringLiteral("Settings/") + key, QStringLiteral("<missing>")).toString();
    }

    Program &program()
    {
        if (!m_program) {
            CommandLineOptions options;
            options.paths = dirs.paths();
            if (m_simulatedCamera) {
                options.simulatedCamera = true;
                if (!m_catalog)
                    m_catalog = std::make_unique<SimulatedDeviceCatalog>();
                m_program = std::make_unique<Program>(
                    options, clock, prompter, std::make_unique<CaptureControl>(std::move(m_catalog)));
            } else {
                auto device = std::make_unique<FakeCaptureDevice>();
                m_camera = device.get();
                m_program = std::make_unique<Program>(options, clock, prompter, std::move(device));
            }
        }
        return *m_program;
    }
    AppContext &context() { return program().context(); }
    // Before the program is made: record through the real capture control from the simulated
    // camera instead of the scripted control.
    void useSimulatedCamera() { m_simulatedCamera = true; }
    // The same over a catalogue of the test's own (one that can pull a camera out).
    void useCatalog(std::unique_ptr<DeviceCatalog> catalog)
    {
        m_simulatedCamera = true;
        m_catalog = std::move(catalog);
    }
    // The capture control the program drives.
    FakeCaptureDevice &camera()
    {
        program();
        return *m_camera;
    }

    // Writes grid 1 of the straight-down camera with its check buoy file and names it in the
    // settings, so that the start-up loads it. Returns the grid file's path.
    QString storeStraightDownGrid()
    {
        const QString grid = dirs.file(QStringLiteral("grid1.ipt"));
        EXPECT_FALSE(writeGridSetupFile(grid, straightDownGrid(), 1));
        EXPECT_FALSE(writeCheckBuoyFile(checkBuoyFilePath(grid), {6000, 4500}, QStringLiteral("60"),
                                        QStringLiteral("45")));
        store(QStringLiteral("grid1File"), grid);
        return grid;
    }

    // Starts with the video directory already stored; answers No to the reset question.
    bool startWithVideoDirectory()
    {
        store(QStringLiteral("logpath"), videos());
        prompter.answer(Answer::No);
        return program().start();
    }

    template <typename W = QWidget>
    W *control(ScreenId screen, const char *name)
    {
        QWidget *s = program().screen(screen);
        if (!s)
            return nullptr;
        return s->findChild<W *>(QString::fromLatin1(name));
    }

    QString resultsText() const
    {
        return QString::fromUtf8(TestDirs::readFile(videos() + QStringLiteral("/JumpMeasurementResults120826.txt")));
    }

    TestDirs dirs;
    FixedClock clock;
    ScriptedPrompter prompter;

private:
    std::unique_ptr<Program> m_program;
    FakeCaptureDevice *m_camera = nullptr;
    bool m_simulatedCamera = false;
    std::unique_ptr<DeviceCatalog> m_catalog;
};

} // namespace skelvin::test
