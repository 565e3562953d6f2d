#include "core/app/Configuration.h"

#include "core/app/AppContext.h"
#include "core/common/PathExists.h"
#include "core/common/SkierNamesFile.h"
#include "core/grid_setup/GridFileLoader.h"

#include <QDir>
#include <QFileInfo>

namespace skelvin {

namespace {

const QString kSmiley = QStringLiteral("SmallSmiley.jpg");
const QString kCaution = QStringLiteral("SmallCaution.jpg");

} // namespace

Configuration::Configuration(AppContext &context)
    : m_context(context), m_loupe(context.paths().appDir(), context.prompter())
{
}

QString Configuration::resultsPath() const
{
    return m_context.results().path();
}

int Configuration::gridCount() const
{
    return m_context.grids().gridCount();
}

void Configuration::load()
{
    SettingsStore &settings = m_context.settings();
    TournamentState &state = m_context.tournament();

    setTournamentName(settings.read(QStringLiteral("TournamentName")));
    m_context.results().setPath(
        ResultsFile::defaultPath(m_context.videoDirectory, m_context.clock().dateText()));
    state.capturesPath = m_context.videoDirectory;
    state.setupFilesPath = settings.read(QStringLiteral("SetupFiles"));
    state.defaultSetupFilesPath = joinPath(m_context.videoDirectory, QStringLiteral("grids"));

    const QString label = settings.read(QStringLiteral("labelcolor"));
    static const QStringList labelWords = {QStringLiteral("white"), QStringLiteral("black"),
                                           QStringLiteral("yellow"), QStringLiteral("default")};
    setLabelColour(labelWords.contains(label) ? label : QStringLiteral("default"));
    const QString impact = settings.read(QStringLiteral("impactcolor"));
    setImpactColour(impact.isEmpty() || impact == QLatin1String("default") ? QStringLiteral("white")
                                                                          : impact);

    setGridCount(settings.readInt(QStringLiteral("grids"), 0));
    loadGrids();

    setRightToLeft(settings.readFlag(QStringLiteral("right2left"), false));
    setLineControl(!settings.readFlag(QStringLiteral("boxlineoff"), false));
    const QString type = settings.read(QStringLiteral("tournamentType"));
    setBarefoot(type == QLatin1String("barefoot"));
    setSitSki(type == QLatin1String("sitski"));
    setWstims(settings.readFlag(QStringLiteral("WSTIMS"), false));
    if (settings.read(QStringLiteral("Loupe"), 0) == QLatin1String("1"))
        setLoupe(true);
    setMarkerStyle(settings.read(QStringLiteral("buoymarker")) == QLatin1String("cross"));

    // The policies are read only here; a later choice is stored for the next start.
    const QString picture = settings.read(QStringLiteral("PictureSave"));
    state.pictureSavePolicy = savePolicyFromWord(picture);
    setPicturePolicy(savePolicyWord(state.pictureSavePolicy));
    const QString video = settings.read(QStringLiteral("VideoSave"));
    state.videoSavePolicy = savePolicyFromWord(video);
    setVideoPolicy(savePolicyWord(state.videoSavePolicy));
}

void Configuration::updateIndicators()
{
    for (int n = 1; n <= 3; ++n) {
        GridIndicator &indicator = m_context.gridIndicators[static_cast<size_t>(n - 1)];
        indicator.visible = n <= gridCount();
    }
}

void Configuration::loadGrids()
{
    SettingsStore &settings = m_context.settings();
    GridStore &grids = m_context.grids();
    for (int n = 1; n <= 3; ++n) {
        const QString file = settings.read(SettingsStore::gridFileKey(n));
        m_context.gridIndicators[static_cast<size_t>(n - 1)].picture =
            PathExists(file, PathFile) ? kSmiley : kCaution;
    }

    m_context.startupGridLoad = true;
    for (int n = 3; n >= 1; --n) {
        const QString file = settings.read(SettingsStore::gridFileKey(n));
        if (!PathExists(file, PathFile))
            continue;
        grids.setCurrentGrid(n);
        const StartupGridLoad outcome =
            LoadGridAtStartup(grids, file, n, m_context.prompter(), m_context.clock().dateText(),
                              m_context.clock().timeText());
        if (!outcome.fileRead) {
            m_context.prompter().inform(
                QStringLiteral("The grid file for grid %1 could not be read, set up the grid again.\n%2")
                    .arg(n).arg(outcome.error),
                MessageIcon::Exclamation);
            continue;
        }
        if (!outcome.record.isEmpty())
            m_context.results().append(outcome.record);
        if (outcome.loaded) {
            settings.write(SettingsStore::gridFileKey(n), file);
            GridIndicator &indicator = m_context.gridIndicators[static_cast<size_t>(n - 1)];
            indicator.picture = kSmiley;
            indicator.description = grids.entry(n).description;
        }
    }
    m_context.startupGridLoad = false;
}

void Configuration::setTournamentName(const QString &name)
{
    m_tournamentName = name;
    m_context.tournament().tournamentTitle = name;
}

void Configuration::setResultsPath(const QString &path)
{
    m_context.results().setPath(path);
    if (path.isEmpty())
        m_context.prompter().inform(QStringLiteral("Enter valid path and filename for results file"));
}

void Configuration::setCapturesPath(const QString &path)
{
    m_context.tournament().capturesPath = path;
}

void Configuration::setSetupFilesPath(const QString &path)
{
    m_context.tournament().setupFilesPath = path;
    m_context.settings().write(QStringLiteral("SetupFiles"), path);
}

void Configuration::setSkierNameFile(const QString &path)
{
    m_context.tournament().skierNameFilePath = path;
}

void Configuration::setGridCount(int count)
{
    GridStore &grids = m_context.grids();
    grids.setGridCount(count);
    // "Every grid in use is ready" must hold for the new count too: a camera added here has no
    // grid yet, and measuring must wait for it.
    grids.resetAllGridsReady();
    grids.updateAllGridsReady();
    m_context.settings().write(QStringLiteral("grids"), grids.gridCount());
    updateIndicators();
}

void Configuration::setBarefoot(bool checked)
{
    TournamentState &state = m_context.tournament();
    if (checked) {
        state.tournamentType = TournamentType::Barefoot;
    } else if (state.tournamentType == TournamentType::Barefoot
               || state.tournamentType == TournamentType::Normal) {
        state.tournamentType = TournamentType::Normal;
    } else {
        return; // sit ski stays
    }
    m_context.settings().write(QStringLiteral("tournamentType"), tournamentWord(state.tournamentType));
}

void Configuration::setSitSki(bool checked)
{
    TournamentState &state = m_context.tournament();
    if (checked) {
        state.tournamentType = TournamentType::SitSki;
    } else if (state.tournamentType == TournamentType::SitSki
               || state.tournamentType == TournamentType::Normal) {
        state.tournamentType = TournamentType::Normal;
    } else {
        return; // barefoot stays
    }
    m_context.settings().write(QStringLiteral("tournamentType"), tournamentWord(state.tournamentType));
}

void Configuration::setRightToLeft(bool rightToLeft)
{
    TournamentState &state = m_context.tournament();
    state.rightToLeft = rightToLeft;
    state.directionWord = rightToLeft ? QStringLiteral("right") : QStringLiteral("left");
    m_context.settings().writeFlag(QStringLiteral("right2left"), rightToLeft);
}

void Configuration::setLineControl(bool checked)
{
    TournamentState &state = m_context.tournament();
    state.lineControlOff = !checked;
    state.lineControlWord = checked ? QStringLiteral("line_on") : QStringLiteral("line_off");
    m_context.settings().writeFlag(QStringLiteral("boxlineoff"), state.lineControlOff);
}

void Configuration::setMarkerStyle(bool cross)
{
    m_context.tournament().markerStyle = cross ? QStringLiteral("cross") : QStringLiteral("circle");
    m_context.settings().write(QStringLiteral("buoymarker"), m_context.tournament().markerStyle);
}

QColor Configuration::colourOf(const QString &word)
{
    if (word == QLatin1String("black"))
        return QColor(0, 0, 0);
    if (word == QLatin1String("white"))
        return QColor(255, 255, 255);
    if (word == QLatin1String("yellow"))
        return QColor(255, 255, 0);
    if (word == QLatin1String("red"))
        return QColor(255, 0, 0);
    if (word == QLatin1String("default"))
        return QColor(); // each control its own colour
    return QColor(Qt::transparent);
}

std::optional<QString> Configuration::setupFilesWarning(const QString &typedFolder)
{
    const QString folder = typedFolder.trimmed();
    if (folder.isEmpty() || PathExists(folder, PathFolder))
        return std::nullopt;
    return QStringLiteral("This folder does not exist: grids cannot be saved or loaded until it "
                          "does.");
}

QColor Configuration::defaultLabelColour(const QString &controlName)
{
    static const QStringList white = {
        QStringLiteral("FrozenSign"), QStringLiteral("AdjustmentLabel"), QStringLiteral("CrossLabel"),
        QStringLiteral("maxbuoy"), QStringLiteral("maxbuoym"), QStringLiteral("minbuoy"),
        QStringLiteral("minbuoym")};
    if (controlName == QLatin1String("M_Reride"))
        return colourOf(QStringLiteral("red"));
    if (controlName == QLatin1String("O_reride"))
        return colourOf(QStringLiteral("yellow"));
    if (white.contains(controlName))
        return colourOf(QStringLiteral("white"));
    return colourOf(QStringLiteral("black"));
}

void Configuration::setLabelColour(const QString &word)
{
    TournamentState &state = m_context.tournament();
    state.labelColourWord = word;
    state.labelColour = colourOf(word);
    m_context.settings().write(QStringLiteral("labelcolor"), word);
}

void Configuration::setImpactColour(const QString &word)
{
    const QColor colour = colourOf(word);
    if (!colour.isValid() || colour.alpha() == 0)
        return setImpactColour(QStringLiteral("white"));
    m_context.tournament().impactColour = colour;
    m_context.settings().write(QStringLiteral("impactcolor"), word);
}

// A keeping option chosen during the day applies from the next jump on, not from the next
// start of the program.
void Configuration::setPicturePolicy(const QString &word)
{
    m_context.settings().write(QStringLiteral("PictureSave"), word);
    m_context.tournament().pictureSavePolicy = savePolicyFromWord(word);
}

void Configuration::setVideoPolicy(const QString &word)
{
    m_context.settings().write(QStringLiteral("VideoSave"), word);
    m_context.tournament().videoSavePolicy = savePolicyFromWord(word);
}

void Configuration::setWstims(bool checked)
{
    TournamentState &state = m_context.tournament();
    state.wstims = checked;
    state.wstimsStatusText = checked ? QStringLiteral("WSTIMS ON") : QStringLiteral("WSTIMS OFF");
    m_context.settings().write(QStringLiteral("WSTIMS"), checked ? 1 : 0);
}

void Configuration::setLoupe(bool checked)
{
    if (checked)
        m_loupe.start();
    m_context.settings().write(QStringLiteral("Loupe"), checked ? 1 : 0);
}

void Configuration::restartLoupe()
{
    m_loupe.start();
}

QString Configuration::configurationLine(const QString &prefix) const
{
    return prefix + m_context.clock().dateText() + QStringLiteral("  ") + m_context.clock().timeText()
           + QLatin1Char(' ') + m_context.tournament().tournamentTitle;
}

void Configuration::setAllowInvalidSetup(bool checked)
{
    m_context.tournament().allowInvalidSetup = checked;
    if (checked) {
        m_context.debugLog().DebugLogWrite(QStringLiteral("Warning - Bad Setups allowed"));
        m_context.results().append(configurationLine(QStringLiteral("Invalid Configurations Allowed: ")));
    } else {
        m_context.debugLog().DebugLogWrite(QStringLiteral("Bad Setups restricted again"));
        m_context.results().append(configurationLine(QStringLiteral("Only valid Configurations Allowed: ")));
    }
}

QString Configuration::exit(const QString &capturesPathText)
{
    SettingsStore &settings = m_context.settings();
    TournamentState &state = m_context.tournament();
    settings.write(QStringLiteral("TournamentName"), m_tournamentName);
    settings.write(QStringLiteral("labelcolor"), state.labelColourWord);

    QString captures = capturesPathText;
    while (captures.endsWith(QLatin1Char(' ')))
        captures.chop(1);
    if (!captures.endsWith(QLatin1Char('/')) && !captures.endsWith(QLatin1Char('\\')))
        captures += QLatin1Char('/');
    state.capturesPath = captures;

    m_context.results().append(configurationLine(QStringLiteral("New Configuration: ")));

    if (!state.skierNameFilePath.isEmpty()) {
        QString path = state.skierNameFilePath;
        if (QFileInfo(path).isRelative())
            path = m_context.paths().appFile(path);
        state.skierNames = SkierNamesFile::readListNames(path);
        if (state.skierNames.isEmpty())
            m_context.prompter().inform(QStringLiteral("Names not loaded, check file name and path"));
    }
    return captures;
}

} // namespace skelvin
