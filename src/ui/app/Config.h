#pragma once

#include "core/app/Configuration.h"
#include "core/common/Prompter.h"

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace skelvin {

class AppContext;

// "System Configuration Parameters": the tournament and the working rules of the system.
// Loaded once, the first time it is shown (the end of the start-up); afterwards it keeps its
// controls. Its only way out is "Exit and Save Parameters".
class Config : public QWidget
{
    Q_OBJECT

public:
    explicit Config(AppContext &context, QWidget *parent = nullptr);

    bool loaded() const { return m_loaded; }
    // Runs the load if it has not run yet.
    void ensureLoaded();
    void mnuExit_Click();

protected:
    void showEvent(QShowEvent *event) override;
    // Closing by the window frame saves and leaves as "Exit and Save Parameters" does.
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void showState();
    void findFile(QLineEdit *box, FileDialogKind kind);
    void findSetupFilesFolder();
    void showSetupFilesWarning();
    QRadioButton *option(const char *name, const QString &caption);

    AppContext &m_context;
    Configuration m_configuration;
    bool m_loaded = false;

    QLineEdit *m_tournamentName = nullptr;
    QLineEdit *m_resultsPathName = nullptr;
    QLineEdit *m_capturesPathName = nullptr;
    QLineEdit *m_setupFilesPathName = nullptr;
    QLineEdit *m_skierNameFile = nullptr;
    QLabel *m_setupFilesWarning = nullptr;
    QRadioButton *m_opt1Grid = nullptr;
    QRadioButton *m_opt2grid = nullptr;
    QRadioButton *m_opt3grid = nullptr;
    QCheckBox *m_barefootBox = nullptr;
    QCheckBox *m_sitSkiBox = nullptr;
    QRadioButton *m_leftToRight = nullptr;
    QRadioButton *m_rightToLeft = nullptr;
    QCheckBox *m_lineControl = nullptr;
    QRadioButton *m_defaultColor = nullptr;
    QRadioButton *m_whiteColor = nullptr;
    QRadioButton *m_blackColor = nullptr;
    QRadioButton *m_yellowColor = nullptr;
    QRadioButton *m_impactRed = nullptr;
    QRadioButton *m_impactYellow = nullptr;
    QRadioButton *m_impactBlack = nullptr;
    QRadioButton *m_impactWhite = nullptr;
    QRadioButton *m_optCross = nullptr;
    QRadioButton *m_optCircle = nullptr;
    QRadioButton *m_pictureAsk = nullptr;
    QRadioButton *m_pictureNoSave = nullptr;
    QRadioButton *m_pictureSave = nullptr;
    QRadioButton *m_videoAsk = nullptr;
    QRadioButton *m_videoNoSave = nullptr;
    QRadioButton *m_videoSave = nullptr;
    QCheckBox *m_wstims = nullptr;
    QLabel *m_qvioLabel = nullptr;
    QCheckBox *m_chkLoupe = nullptr;
    QCheckBox *m_chkBadSetup = nullptr;
};

} // namespace skelvin
