#pragma once

#include "core/common/Tournament.h"

#include <QColor>
#include <QString>
#include <QStringList>

namespace skelvin {

enum class SavePolicy { Ask, Save, NoSave };

// The working rules of the tournament, set by the configuration screen from the settings and
// read by the other screens.
struct TournamentState
{
    QString tournamentTitle;
    QString capturesPath;
    QString setupFilesPath;
    // The setup-files folder used while none is given: "grids" in the video folder, made when
    // a grid file is first saved or loaded.
    QString defaultSetupFilesPath;
    QString skierNameFilePath;
    QString pictureExtension = QStringLiteral(".bmp");

    TournamentType tournamentType = TournamentType::Normal;
    bool barefootMode() const { return tournamentType == TournamentType::Barefoot; }
    bool sitSkiMode() const { return tournamentType == TournamentType::SitSki; }

    bool rightToLeft = false;
    QString directionWord = QStringLiteral("left");
    bool lineControlOff = false;
    QString lineControlWord = QStringLiteral("line_on");
    QString markerStyle = QStringLiteral("circle"); // readers only test for "cross"
    QString labelColourWord = QStringLiteral("default");
    QColor labelColour;                              // invalid for "default": each label its own
    QColor impactColour = Qt::white;
    SavePolicy pictureSavePolicy = SavePolicy::Ask;
    SavePolicy videoSavePolicy = SavePolicy::Ask;
    bool wstims = false;
    QString wstimsStatusText = QStringLiteral("WSTIMS OFF");
    bool allowInvalidSetup = false;                  // "Allow Invalid Setup" on the configuration screen

    // Names for the measure screen's skier list, read from the skier name file on exit of the
    // configuration screen.
    QStringList skierNames;
};

// The colour buoys, side lines and markers are drawn in: the message colour, or white when
// each message keeps its own colour.
QColor drawingColour(const TournamentState &state);

// "Save", "NoSave", "Ask" (anything else is Ask).
SavePolicy savePolicyFromWord(const QString &word);
QString savePolicyWord(SavePolicy policy);

} // namespace skelvin
