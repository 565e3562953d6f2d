#pragma once

#include "core/app/LoupeLauncher.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>

namespace skelvin {

class AppContext;

// The working rules of the system as the configuration screen sets them: each choice is applied
// in memory and stored in the settings at once.
class Configuration
{
public:
    explicit Configuration(AppContext &context);

    // Reads the settings into the tournament state (storing the defaults a first start
    // chooses), decides the results file name and loads the grid files named in the settings.
    void load();

    // The choices the configuration screen shows.
    QString tournamentName() const { return m_tournamentName; }
    QString resultsPath() const;
    int gridCount() const;

    void setTournamentName(const QString &name);
    void setResultsPath(const QString &path);   // an empty path tells the operator
    void setCapturesPath(const QString &path);
    void setSetupFilesPath(const QString &path);
    void setSkierNameFile(const QString &path);
    void setGridCount(int count);
    void setBarefoot(bool checked);
    void setSitSki(bool checked);
    void setRightToLeft(bool rightToLeft);
    void setLineControl(bool checked);
    void setMarkerStyle(bool cross);
    void setLabelColour(const QString &word);    // "default", "white", "black", "yellow"
    void setImpactColour(const QString &word);   // "white", "black", "yellow", "red"
    void setPicturePolicy(const QString &word);  // stored only: takes effect at the next start
    void setVideoPolicy(const QString &word);
    void setWstims(bool checked);
    void setLoupe(bool checked);
    void restartLoupe();
    void setAllowInvalidSetup(bool checked);

    // Leaving the screen: stores the tournament name and label colour, gives the captures path
    // its trailing separator (returned, for the box), records the configuration in the results
    // file and reads the skier name file.
    QString exit(const QString &capturesPathText);

    static QColor colourOf(const QString &word);

    // The warning the configuration screen shows beside a setup-files folder typed that does
    // not exist; nothing for an existing folder or an empty box (the default folder).
    static std::optional<QString> setupFilesWarning(const QString &typedFolder);

    // Text colour of each measure-screen message control under the "default" choice.
    static QColor defaultLabelColour(const QString &controlName);

private:
    void updateIndicators();
    void loadGrids();
    QString configurationLine(const QString &prefix) const;

    AppContext &m_context;
    LoupeLauncher m_loupe;
    QString m_tournamentName;
};

} // namespace skelvin
