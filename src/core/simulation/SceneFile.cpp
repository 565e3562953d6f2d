#include "core/simulation/SceneFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSettings>

#include <cmath>
#include <functional>

namespace skelvin {

namespace {

// One key of the file: where its value goes and which values make sense.
struct SceneKey
{
    const char *name; // "section/key"
    std::function<double *(SimulatedScene &)> field;
    double minimum = -1e6;
    double maximum = 1e6;
    bool minimumExcluded = false;
    const char *rangeText = nullptr; // how the allowed range is told
    // For a yes/no key instead of a number.
    std::function<bool *(SimulatedScene &)> flag = nullptr;
};

std::vector<SceneKey> sceneKeys()
{
    using S = SimulatedScene;
    auto survey = [](SurveyPoint &p, bool x) { return x ? &p.x : &p.y; };
    std::vector<SceneKey> keys;
    auto add = [&keys](const char *name, std::function<double *(S &)> field) {
        keys.push_back({name, std::move(field)});
    };
    add("course/upper_left_x", [=](S &s) { return survey(s.course().upperLeft, true); });
    add("course/upper_left_y", [=](S &s) { return survey(s.course().upperLeft, false); });
    add("course/upper_right_x", [=](S &s) { return survey(s.course().upperRight, true); });
    add("course/upper_right_y", [=](S &s) { return survey(s.course().upperRight, false); });
    add("course/lower_left_x", [=](S &s) { return survey(s.course().lowerLeft, true); });
    add("course/lower_left_y", [=](S &s) { return survey(s.course().lowerLeft, false); });
    add("course/lower_right_x", [=](S &s) { return survey(s.course().lowerRight, true); });
    add("course/lower_right_y", [=](S &s) { return survey(s.course().lowerRight, false); });
    add("course/check_buoy_x", [=](S &s) { return survey(s.course().checkBuoy, true); });
    add("course/check_buoy_y", [=](S &s) { return survey(s.course().checkBuoy, false); });
    add("course/jump_x", [=](S &s) { return survey(s.course().jump, true); });
    add("course/jump_y", [=](S &s) { return survey(s.course().jump, false); });
    add("camera/x", [=](S &s) { return survey(s.camera().position, true); });
    add("camera/y", [=](S &s) { return survey(s.camera().position, false); });
    add("camera/aim_x", [=](S &s) { return survey(s.camera().aim, true); });
    add("camera/aim_y", [=](S &s) { return survey(s.camera().aim, false); });
    add("landing/x", [=](S &s) { return survey(s.landing().point, true); });
    add("landing/y", [=](S &s) { return survey(s.landing().point, false); });
    keys.push_back({"camera/height", [](S &s) { return &s.camera().heightMetres; }, 0.0, 1e4, true,
                    "above 0"});
    keys.push_back({"camera/horizontal_fov", [](S &s) { return &s.camera().horizontalFovDegrees; },
                    1.0, 170.0, true, "above 1 and at most 170"});
    keys.push_back(
        {"camera/k1", [](S &s) { return &s.camera().k1; }, -1.0, 1.0, false, "from -1 to 1"});
    keys.push_back({"landing/seconds", [](S &s) { return &s.landing().seconds; }, 0.0, 10.0, true,
                    "above 0 and at most 10"});
    auto ranged = [&keys](const char *name, std::function<double *(S &)> field, double minimum,
                          double maximum, bool minimumExcluded, const char *rangeText) {
        keys.push_back({name, std::move(field), minimum, maximum, minimumExcluded, rangeText});
    };
    ranged("camera/sway_deg", [](S &s) { return &s.camera().swayDegrees; }, 0.0, 5.0, false,
           "from 0 to 5");
    ranged("camera/sway_period_s", [](S &s) { return &s.camera().swayPeriodSeconds; }, 0.0,
           600.0, true, "above 0 and at most 600");
    ranged("camera/drift_deg_per_min", [](S &s) { return &s.camera().driftDegreesPerMinute; },
           -10.0, 10.0, false, "from -10 to 10");
    ranged("camera/bump_pan_deg", [](S &s) { return &s.camera().bumpPanDegrees; }, -10.0, 10.0,
           false, "from -10 to 10");
    ranged("camera/bump_tilt_deg", [](S &s) { return &s.camera().bumpTiltDegrees; }, -10.0, 10.0,
           false, "from -10 to 10");
    ranged("camera/bump_seconds", [](S &s) { return &s.camera().bumpSeconds; }, 0.0, 600.0,
           false, "from 0 to 600");
    ranged("light/brightness", [](S &s) { return &s.light().brightness; }, 0.0, 3.0, true,
           "above 0 and at most 3");
    ranged("light/noise", [](S &s) { return &s.light().noise; }, 0.0, 50.0, false,
           "from 0 to 50");
    ranged("light/glints", [](S &s) { return &s.light().glints; }, 0.0, 1.0, false,
           "from 0 to 1");
    ranged("water/waves", [](S &s) { return &s.water().waves; }, 0.0, 5.0, false, "from 0 to 5");
    ranged("water/whitecaps", [](S &s) { return &s.water().whitecaps; }, 0.0, 1.0, false,
           "from 0 to 1");
    ranged("landing/splash", [](S &s) { return &s.landing().splash; }, 0.0, 5.0, false,
           "from 0 to 5");
    SceneKey jump{"landing/jump", nullptr};
    jump.flag = [](S &s) { return &s.landing().jump; };
    keys.push_back(jump);
    return keys;
}

// Lines of "key=value" by "section/key" (lower case), and the lines that are neither.
struct FileLines
{
    QHash<QString, int> lineOfKey;
    QList<std::pair<int, QString>> strayLines;
};

FileLines scanLines(const QByteArray &bytes)
{
    FileLines result;
    QString section = QStringLiteral("general");
    const QList<QByteArray> lines = bytes.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            result.strayLines.append({i + 1, line});
            continue;
        }
        // Keys before any section (or under [General]) have no section in QSettings.
        const QString name = line.left(eq).trimmed().toLower();
        const QString key =
            section == QLatin1String("general") ? name : section + QLatin1Char('/') + name;
        result.lineOfKey.insert(key, i + 1);
    }
    return result;
}

QString numberText(double value)
{
    return QString::number(value, 'g', 10);
}

} // namespace

Result<SimulatedScene> readSceneFile(const QString &path)
{
    QFile file(path);
    if (!QFileInfo::exists(path))
        return Result<SimulatedScene>::failure(
            QStringLiteral("The scene file %1 does not exist").arg(path));
    if (!QFileInfo(path).isFile())
        return Result<SimulatedScene>::failure(
            QStringLiteral("The scene file %1 is not a file").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        return Result<SimulatedScene>::failure(
            QStringLiteral("The scene file %1 cannot be read: %2").arg(path, file.errorString()));
    const FileLines lines = scanLines(file.readAll());
    file.close();

    QSettings settings(path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return Result<SimulatedScene>::failure(
            QStringLiteral("The scene file %1 is not an INI file").arg(path));

    SimulatedScene scene;
    const QString where = QStringLiteral("Scene file %1 line %2: ");
    for (const auto &[line, text] : lines.strayLines)
        scene.addWarning(where.arg(path).arg(line) +
                         QStringLiteral("\"%1\" is not a key=value line; it is ignored").arg(text));

    const std::vector<SceneKey> keys = sceneKeys();
    QHash<QString, const SceneKey *> known;
    for (const SceneKey &k : keys)
        known.insert(QString::fromLatin1(k.name), &k);

    QStringList fileKeys = settings.allKeys();
    fileKeys.sort();
    for (const QString &fileKey : fileKeys) {
        const QString key = fileKey.toLower();
        const int line = lines.lineOfKey.value(key, 0);
        const QString prefix =
            line > 0 ? where.arg(path).arg(line) : QStringLiteral("Scene file %1: ").arg(path);
        const SceneKey *k = known.value(key, nullptr);
        if (!k) {
            scene.addWarning(prefix + QStringLiteral("unknown key %1; it is ignored").arg(fileKey));
            continue;
        }
        const QVariant value = settings.value(fileKey);
        const QString text = value.typeId() == QMetaType::QStringList
                                 ? value.toStringList().join(QLatin1Char(','))
                                 : value.toString().trimmed();
        if (k->flag) {
            bool *flag = k->flag(scene);
            const QString word = text.toLower();
            if (word == QLatin1String("yes"))
                *flag = true;
            else if (word == QLatin1String("no"))
                *flag = false;
            else
                scene.addWarning(prefix +
                                 QStringLiteral("%1 = \"%2\" must be yes or no; the default %3 "
                                                "is kept")
                                     .arg(fileKey, text,
                                          *flag ? QStringLiteral("yes") : QStringLiteral("no")));
            continue;
        }
        double *field = k->field(scene);
        bool ok = false;
        const double number = text.toDouble(&ok);
        if (!ok || !std::isfinite(number) || value.typeId() == QMetaType::QStringList) {
            scene.addWarning(prefix +
                             QStringLiteral("%1 = \"%2\" is not a number; the default %3 is kept")
                                 .arg(fileKey, text, numberText(*field)));
            continue;
        }
        const bool belowMinimum = k->minimumExcluded ? number <= k->minimum : number < k->minimum;
        if (belowMinimum || number > k->maximum) {
            scene.addWarning(prefix +
                             QStringLiteral("%1 = %2 must be %3; the default %4 is kept")
                                 .arg(fileKey, text,
                                      QString::fromLatin1(k->rangeText ? k->rangeText
                                                                       : "within a million metres"),
                                      numberText(*field)));
            continue;
        }
        *field = number;
    }

    // A camera aimed straight down has no horizon to speak of and no sensible "right".
    const SceneCamera &camera = scene.camera();
    if (std::hypot(camera.aim.x - camera.position.x, camera.aim.y - camera.position.y) < 0.5) {
        const SceneCamera defaults;
        scene.addWarning(
            QStringLiteral("Scene file %1: the camera is aimed at the water right below it; the "
                           "default camera is kept")
                .arg(path));
        scene.camera() = defaults;
    }
    return scene;
}

} // namespace skelvin
