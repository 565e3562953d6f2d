// The core stands in rooms, one on another: each includes only its own headers and those of the
// rooms beneath it, and nothing in the core includes a screen. This reads every #include line of
// src/core and names each that breaks the order, so a cycle is caught in the change that makes it.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

// Every room of the core (its folder under src/core) with the rooms it stands on directly. A
// room may include what lies beneath it: the rooms it stands on, what those stand on, and so
// down. Two rooms neither of which lies beneath the other do not know each other. Keep in step
// with src/core/README.md.
const std::map<QString, QStringList> kStandsOn = {
    {QStringLiteral("common"), {}},
    {QStringLiteral("logs"), {QStringLiteral("common")}},
    {QStringLiteral("geometry"), {QStringLiteral("logs")}},
    {QStringLiteral("frames"), {QStringLiteral("geometry")}},
    // What the program finds in pictures, beside the frames.
    {QStringLiteral("vision"), {QStringLiteral("geometry")}},
    // What is found in a recording read from disk: the frames and the finders.
    {QStringLiteral("vision/recordings"), {QStringLiteral("frames"), QStringLiteral("vision")}},
    {QStringLiteral("capture/shared"), {QStringLiteral("frames")}},
    // Side by side: the devices and the recorder do not know each other.
    {QStringLiteral("capture/devices"), {QStringLiteral("capture/shared")}},
    {QStringLiteral("capture/recording"), {QStringLiteral("capture/shared")}},
    // The simulated world is a device, never a recorder.
    {QStringLiteral("simulation"), {QStringLiteral("capture/devices")}},
    // Only the capture control knows all three; it hands the frames it records to the search
    // for the first contact.
    {QStringLiteral("capture"),
     {QStringLiteral("capture/recording"), QStringLiteral("simulation"),
      QStringLiteral("vision/recordings")}},
    {QStringLiteral("grid_setup"), {QStringLiteral("capture"), QStringLiteral("vision")}},
    {QStringLiteral("measure"), {QStringLiteral("capture"), QStringLiteral("vision")}},
    {QStringLiteral("app"), {QStringLiteral("grid_setup"), QStringLiteral("measure")}},
};

QString coreDir()
{
    return QStringLiteral(SKELVIN_SOURCE_DIR "/src/core");
}

// The rooms beneath `room`, in name order.
QStringList beneath(const QString &room)
{
    std::set<QString> found;
    QStringList open = kStandsOn.at(room);
    while (!open.isEmpty()) {
        const QString next = open.takeLast();
        if (found.insert(next).second)
            open << kStandsOn.at(next);
    }
    return QStringList(found.begin(), found.end());
}

// Every fault in the text of one file of `room`: "shown:line includes X: why".
QStringList faultsIn(const QString &text, const QString &room, const QString &shown)
{
    QStringList faults;
    static const QRegularExpression include(QStringLiteral(R"re(^\s*#\s*include\s*"([^"]+)")re"));
    const QStringList allowed = beneath(room);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch m = include.match(lines.at(i));
        if (!m.hasMatch())
            continue;
        const QString target = m.captured(1);
        const QString where =
            QStringLiteral("%1:%2 includes %3: ").arg(shown).arg(i + 1).arg(target);
        const QStringList parts = target.split(QLatin1Char('/'));
        if (parts.first() == QLatin1String("ui") || parts.first() == QLatin1String("app") ||
            parts.first() == QLatin1String("tool")) {
            faults << where + QStringLiteral(
                                  "the core never includes screens, the program or the tool");
            continue;
        }
        if (parts.first() != QLatin1String("core") || parts.size() < 3)
            continue; // a library header, or one beside the file
        const QString to = parts.mid(1, parts.size() - 2).join(QLatin1Char('/'));
        if (!kStandsOn.count(to))
            faults << where + QStringLiteral("\"%1\" is not in the layer list").arg(to);
        else if (to != room && !allowed.contains(to))
            faults << where + QStringLiteral("%1 may include only %2")
                                  .arg(room, allowed.join(QStringLiteral(", ")));
    }
    return faults;
}

// The same for a file on disk, named relative to the source tree.
QStringList faultsOf(const QString &filePath, const QString &room)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return {filePath + QStringLiteral(": cannot be read")};
    return faultsIn(QString::fromUtf8(file.readAll()), room,
                    QDir(QStringLiteral(SKELVIN_SOURCE_DIR)).relativeFilePath(filePath));
}

// The room of a file under src/core: its folder.
QString roomOf(const QString &filePath)
{
    return QDir(coreDir()).relativeFilePath(QFileInfo(filePath).path());
}

QStringList coreSources()
{
    QStringList files;
    QDirIterator it(coreDir(), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

TEST(IncludeLayers, EverySubsystemIsInTheLayerList)
{
    const QStringList files = coreSources();
    ASSERT_FALSE(files.isEmpty()) << coreDir().toStdString();
    std::set<QString> rooms;
    for (const QString &file : files)
        rooms.insert(roomOf(file));
    for (const QString &room : rooms)
        EXPECT_TRUE(kStandsOn.count(room))
            << "src/core/" << room.toStdString() << " has no place in the layer list";
    // And the list names no room that has gone.
    for (const auto &[room, standsOn] : kStandsOn)
        EXPECT_TRUE(rooms.count(room)) << room.toStdString() << " is listed but holds no source";
}

TEST(IncludeLayers, NoSubsystemIncludesOneAboveItOrAScreen)
{
    QStringList faults;
    int files = 0;
    for (const QString &file : coreSources()) {
        const QString room = roomOf(file);
        if (!kStandsOn.count(room))
            continue; // told by EverySubsystemIsInTheLayerList
        faults << faultsOf(file, room);
        ++files;
    }
    EXPECT_GT(files, 50);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

// The checker itself, on made-up files: an include against the order is named, with its line.
TEST(IncludeLayers, AnIncludeAgainstTheOrderIsNamed)
{
    const QString recordingFile = QStringLiteral("src/core/capture/recording/Made.cpp");
    const QStringList faults =
        faultsIn(QStringLiteral("#include \"core/capture/recording/AviWriter.h\"\n"
                                "\n"
                                "#include \"core/capture/devices/VideoSource.h\"\n"
                                "#include <QImage>\n"),
                 QStringLiteral("capture/recording"), recordingFile);
    EXPECT_EQ(faults, QStringList{QStringLiteral(
                          "src/core/capture/recording/Made.cpp:3 includes "
                          "core/capture/devices/VideoSource.h: capture/recording may include "
                          "only capture/shared, common, frames, geometry, logs")});

    // The simulated world uses the device interface, never the recorder or the control.
    const QString simulation = QStringLiteral("#include \"core/capture/devices/VideoSource.h\"\n"
                                              "#include \"core/capture/shared/CapturedFrame.h\"\n"
                                              "#include \"core/geometry/Grid.h\"\n"
                                              "#include \"core/capture/recording/AviRecorder.h\"\n"
                                              "#include \"core/capture/CaptureControl.h\"\n");
    const QStringList simulationFaults =
        faultsIn(simulation, QStringLiteral("simulation"), QStringLiteral("Made.h"));
    ASSERT_EQ(simulationFaults.size(), 2) << simulationFaults.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(simulationFaults[0].startsWith(
        QStringLiteral("Made.h:4 includes core/capture/recording/AviRecorder.h: simulation may "
                       "include only capture/devices, capture/shared, common,")));
    EXPECT_TRUE(simulationFaults[1].startsWith(
        QStringLiteral("Made.h:5 includes core/capture/CaptureControl.h: simulation")));

    // Devices know neither the recorder nor the control; the control knows all three.
    const QString reachesUp = QStringLiteral("#include \"core/capture/recording/FrameQueue.h\"\n"
                                             "#include \"core/capture/CaptureDevice.h\"\n"
                                             "#include \"core/simulation/SceneFile.h\"\n");
    EXPECT_EQ(
        faultsIn(reachesUp, QStringLiteral("capture/devices"), QStringLiteral("d.cpp")).size(), 3);
    EXPECT_EQ(
        faultsIn(QStringLiteral("#include \"core/capture/devices/DeviceCatalog.h\"\n") + reachesUp,
                 QStringLiteral("capture"), QStringLiteral("c.cpp")),
        QStringList());

    // Rooms side by side, a screen, a room nobody listed.
    EXPECT_EQ(faultsIn(QStringLiteral("#include \"core/grid_setup/GridFile.h\""),
                       QStringLiteral("measure"), QStringLiteral("m.cpp"))
                  .size(),
              1);
    EXPECT_EQ(faultsIn(QStringLiteral("  #  include \"ui/measure/Measure.h\""),
                       QStringLiteral("app"), QStringLiteral("a.cpp")),
              QStringList{QStringLiteral("a.cpp:1 includes ui/measure/Measure.h: the core never "
                                         "includes screens, the program or the tool")});
    EXPECT_EQ(faultsIn(QStringLiteral("#include \"core/capture/cameras/Lens.h\""),
                       QStringLiteral("capture"), QStringLiteral("c.cpp")),
              QStringList{QStringLiteral("c.cpp:1 includes core/capture/cameras/Lens.h: "
                                         "\"capture/cameras\" is not in the layer list")});
}

// And read from a file, as the tree is read.
TEST(IncludeLayers, AFileOnDiskIsReadTheSameWay)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Made.cpp"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#include \"core/simulation/SceneFile.h\"\r\n"
               "#include \"core/capture/shared/CaptureTypes.h\"\r\n");
    file.close();
    const QStringList faults = faultsOf(path, QStringLiteral("capture/devices"));
    ASSERT_EQ(faults.size(), 1) << faults.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(faults[0].endsWith(QStringLiteral(
        "Made.cpp:1 includes core/simulation/SceneFile.h: capture/devices may include only "
        "capture/shared, common, frames, geometry, logs")));

    EXPECT_EQ(faultsOf(dir.filePath(QStringLiteral("gone.cpp")), QStringLiteral("common")).size(),
              1);
}

} // namespace
