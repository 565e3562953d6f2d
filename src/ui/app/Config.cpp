#include "ui/app/Config.h"

#include "core/app/AppContext.h"
#include "core/app/Navigator.h"
#include "ui/common/Named.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace skelvin {

namespace {

// A titled frame holding option buttons that exclude each other.
QGroupBox *frame(const char *name, const QString &title, std::initializer_list<QWidget *> members)
{
    auto *box = named(new QGroupBox(title), name);
    auto *layout = new QVBoxLayout(box);
    for (QWidget *w : members)
        layout->addWidget(w);
    return box;
}

void setCheckedQuietly(QAbstractButton *button, bool checked)
{
    const QSignalBlocker blocker(button);
    button->setChecked(checked);
}

} // namespace

Config::Config(AppContext &context, QWidget *parent)
    : QWidget(parent), m_context(context), m_configuration(context)
{
    setObjectName(QStringLiteral("Config"));
    setWindowTitle(QStringLiteral("System Configuration Parameters"));
    buildControls();
}

QRadioButton *Config::option(const char *name, const QString &caption)
{
    return named(new QRadioButton(caption), name);
}

void Config::buildControls()
{
    auto *outer = new QVBoxLayout(this);
    auto *menu = new QMenuBar(this);
    QAction *exitAction = menu->addAction(QStringLiteral("E&xit and Save Parameters"));
    exitAction->setObjectName(QStringLiteral("mnuExit"));
    connect(exitAction, &QAction::triggered, this, &Config::mnuExit_Click);
    outer->setMenuBar(menu);

    auto *paths = new QGridLayout;
    auto addPath = [&](int row, const char *labelName, const QString &caption, const char *boxName,
                       const QString &text) {
        paths->addWidget(named(new QLabel(caption), labelName), row, 0);
        auto *box = named(new QLineEdit(text), boxName);
        paths->addWidget(box, row, 1);
        return box;
    };
    m_tournamentName = addPath(0, "Label1", QStringLiteral("Tournament"), "TournamentName", QStringLiteral("Default"));
    m_resultsPathName = addPath(1, "Label2", QStringLiteral("Results file"), "ResultsPathName", QStringLiteral("Default.txt"));
    m_capturesPathName = addPath(2, "Label3", QStringLiteral("Captures path"), "CapturesPathName", QString());
    m_setupFilesPathName = addPath(3, "Label4", QStringLiteral("Setup files path"), "SetupFilesPathName", QString());
    m_skierNameFile = addPath(4, "Label5", QStringLiteral("Skier name file"), "SkierNameFile", QString());
    auto *findResults = named(new QPushButton(QStringLiteral("find")), "btnFindResults");
    auto *findSetupFiles = named(new QPushButton(QStringLiteral("find")), "btnFindSetupFiles");
    auto *findNames = named(new QPushButton(QStringLiteral("find")), "btnFindNames");
    paths->addWidget(findResults, 1, 2);
    paths->addWidget(findSetupFiles, 3, 2);
    paths->addWidget(findNames, 4, 2);
    m_setupFilesWarning = named(new QLabel, "lblSetupFilesWarning");
    QPalette warning = m_setupFilesWarning->palette();
    warning.setColor(QPalette::WindowText, QColor(190, 0, 0));
    m_setupFilesWarning->setPalette(warning);
    m_setupFilesWarning->hide();
    paths->addWidget(m_setupFilesWarning, 5, 1);
    outer->addLayout(paths);
    connect(findSetupFiles, &QPushButton::clicked, this, &Config::findSetupFilesFolder);

    connect(m_tournamentName, &QLineEdit::textChanged, this, [this](const QString &t) { m_configuration.setTournamentName(t); });
    connect(m_resultsPathName, &QLineEdit::textChanged, this, [this](const QString &t) { m_configuration.setResultsPath(t); });
    connect(m_capturesPathName, &QLineEdit::textChanged, this, [this](const QString &t) { m_configuration.setCapturesPath(t); });
    connect(m_setupFilesPathName, &QLineEdit::textChanged, this, [this](const QString &t) {
        m_configuration.setSetupFilesPath(t);
        showSetupFilesWarning();
    });
    connect(m_skierNameFile, &QLineEdit::textChanged, this, [this](const QString &t) { m_configuration.setSkierNameFile(t); });
    // A new day's results file does not exist yet: its name may be typed.
    connect(findResults, &QPushButton::clicked, this,
            [this] { findFile(m_resultsPathName, FileDialogKind::Save); });
    connect(findNames, &QPushButton::clicked, this,
            [this] { findFile(m_skierNameFile, FileDialogKind::Open); });

    auto *choices = new QGridLayout;
    m_opt1Grid = option("Opt1Grid", QStringLiteral("1"));
    m_opt2grid = option("Opt2grid", QStringLiteral("2"));
    m_opt3grid = option("Opt3grid", QStringLiteral("3"));
    choices->addWidget(frame("gridframe", QStringLiteral("Number of Grids"), {m_opt1Grid, m_opt2grid, m_opt3grid}), 0, 0);
    int count = 1;
    for (QRadioButton *b : {m_opt1Grid, m_opt2grid, m_opt3grid}) {
        connect(b, &QRadioButton::toggled, this, [this, count](bool on) {
            if (on)
                m_configuration.setGridCount(count);
        });
        ++count;
    }

    m_barefootBox = named(new QCheckBox(QStringLiteral("Check if barefoot jumping")), "Barefoot_box");
    m_sitSkiBox = named(new QCheckBox(QStringLiteral("Check if Sit Ski")), "SitSki_box");
    m_lineControl = named(new QCheckBox(QStringLiteral("Check for line control on")), "line_control_check");
    auto *checks = new QVBoxLayout;
    checks->addWidget(m_barefootBox);
    checks->addWidget(m_sitSkiBox);
    checks->addWidget(m_lineControl);
    choices->addLayout(checks, 0, 1);
    connect(m_barefootBox, &QCheckBox::toggled, this, [this](bool on) {
        m_configuration.setBarefoot(on);
        if (on)
            setCheckedQuietly(m_sitSkiBox, false);
    });
    connect(m_sitSkiBox, &QCheckBox::toggled, this, [this](bool on) {
        m_configuration.setSitSki(on);
        if (on)
            setCheckedQuietly(m_barefootBox, false);
    });
    connect(m_lineControl, &QCheckBox::toggled, this, [this](bool on) { m_configuration.setLineControl(on); });

    m_leftToRight = option("left_to_right_button", QStringLiteral("Jump Left to Right"));
    m_rightToLeft = option("right_to_left_button", QStringLiteral("Jump Right to Left"));
    choices->addWidget(frame("Jump_direction", QStringLiteral("Jump Direction"), {m_leftToRight, m_rightToLeft}), 0, 2);
    connect(m_rightToLeft, &QRadioButton::toggled, this, [this](bool on) { m_configuration.setRightToLeft(on); });

    m_defaultColor = option("default_color", QStringLiteral("Default"));
    m_whiteColor = option("white_color", QStringLiteral("White"));
    m_blackColor = option("black_color", QStringLiteral("Black"));
    m_yellowColor = option("yellow_color", QStringLiteral("Yellow"));
    choices->addWidget(frame("message_colors", QStringLiteral("Select Message Color"),
                             {m_defaultColor, m_whiteColor, m_blackColor, m_yellowColor}), 1, 0);
    const std::pair<QRadioButton *, const char *> labelColours[] = {
        {m_defaultColor, "default"}, {m_whiteColor, "white"}, {m_blackColor, "black"}, {m_yellowColor, "yellow"}};
    for (const auto &[button, word] : labelColours) {
        const QString w = QString::fromLatin1(word);
        connect(button, &QRadioButton::toggled, this, [this, w](bool on) {
            if (on)
                m_configuration.setLabelColour(w);
        });
    }

    m_impactRed = option("OptImpactRed", QStringLiteral("Red"));
    m_impactYellow = option("OptImpactYellow", QStringLiteral("Yellow"));
    m_impactBlack = option("OptImpactBlack", QStringLiteral("Black"));
    m_impactWhite = option("OptImpactWhite", QStringLiteral("White"));
    choices->addWidget(frame("Frame4", QStringLiteral("Impact Marker Color"),
                             {m_impactRed, m_impactYellow, m_impactBlack, m_impactWhite}), 1, 1);
    const std::pair<QRadioButton *, const char *> impactColours[] = {
        {m_impactRed, "red"}, {m_impactYellow, "yellow"}, {m_impactBlack, "black"}, {m_impactWhite, "white"}};
    for (const auto &[button, word] : impactColours) {
        const QString w = QString::fromLatin1(word);
        connect(button, &QRadioButton::toggled, this, [this, w](bool on) {
            if (on)
                m_configuration.setImpactColour(w);
        });
    }

    m_optCross = option("OptCross", QStringLiteral("Cross"));
    m_optCircle = option("OptCircle", QStringLiteral("Circle"));
    choices->addWidget(frame("Frame1", QStringLiteral("Marker Style"), {m_optCross, m_optCircle}), 1, 2);
    connect(m_optCross, &QRadioButton::toggled, this, [this](bool on) { m_configuration.setMarkerStyle(on); });

    m_pictureAsk = option("OptPictureAsk", QStringLiteral("Ask if you want to save each time"));
    m_pictureNoSave = option("OptPictureNoSave", QStringLiteral("Never Save"));
    m_pictureSave = option("OptPictureSave", QStringLiteral("Always Save without asking"));
    choices->addWidget(frame("Frame3", QStringLiteral("How to deal with individual contact point pictures"),
                             {m_pictureAsk, m_pictureNoSave, m_pictureSave}), 2, 0);
    m_videoAsk = option("OptVideoAsk", QStringLiteral("Ask if you want to save each time"));
    m_videoNoSave = option("OptVideoNoSave", QStringLiteral("Never Save "));
    m_videoSave = option("OptVideoSave", QStringLiteral("Always Save without asking"));
    choices->addWidget(frame("Frame2", QStringLiteral("How  to deal  with captured video files"),
                             {m_videoAsk, m_videoNoSave, m_videoSave}), 2, 1);
    const std::tuple<QRadioButton *, const char *, bool> policies[] = {
        {m_pictureAsk, "Ask", true}, {m_pictureNoSave, "NoSave", true}, {m_pictureSave, "Save", true},
        {m_videoAsk, "Ask", false}, {m_videoNoSave, "NoSave", false}, {m_videoSave, "Save", false}};
    for (const auto &[button, word, picture] : policies) {
        const QString w = QString::fromLatin1(word);
        const bool isPicture = picture;
        connect(button, &QRadioButton::toggled, this, [this, w, isPicture](bool on) {
            if (!on)
                return;
            if (isPicture)
                m_configuration.setPicturePolicy(w);
            else
                m_configuration.setVideoPolicy(w);
        });
    }

    auto *link = new QVBoxLayout;
    m_wstims = named(new QCheckBox(QStringLiteral("WSTIMS Interface")), "WSTIMS");
    m_qvioLabel = named(new QLabel(QStringLiteral("Caution, WSTIMS requires QVIO directory to exist")), "QVIOLabel");
    m_chkLoupe = named(new QCheckBox(QStringLiteral("Use Screen Loupe")), "chkLoupe");
    auto *cmdLoupe = named(new QPushButton(QStringLiteral("Restart Screen Loupe if you exited it")), "cmdLoupe");
    m_chkBadSetup = named(new QCheckBox(QStringLiteral("Allow Invalid Setup")), "chkBadSetup");
    for (QWidget *w : {static_cast<QWidget *>(m_wstims), static_cast<QWidget *>(m_qvioLabel),
                       static_cast<QWidget *>(m_chkLoupe), static_cast<QWidget *>(cmdLoupe),
                       static_cast<QWidget *>(m_chkBadSetup)})
        link->addWidget(w);
    choices->addLayout(link, 2, 2);
    m_qvioLabel->hide();
    connect(m_wstims, &QCheckBox::toggled, this, [this](bool on) {
        m_configuration.setWstims(on);
        m_qvioLabel->setVisible(on);
    });
    connect(m_chkLoupe, &QCheckBox::toggled, this, [this](bool on) { m_configuration.setLoupe(on); });
    connect(cmdLoupe, &QPushButton::clicked, this, [this] { m_configuration.restartLoupe(); });
    connect(m_chkBadSetup, &QCheckBox::toggled, this, [this](bool on) { m_configuration.setAllowInvalidSetup(on); });

    outer->addLayout(choices);
    outer->addStretch();
}

void Config::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    ensureLoaded();
}

void Config::closeEvent(QCloseEvent *event)
{
    event->ignore();
    mnuExit_Click();
}

void Config::ensureLoaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_configuration.load();
    showState();
}

// Puts the state the load chose into the controls, without running their actions again.
void Config::showState()
{
    const TournamentState &state = m_context.tournament();
    const QList<QWidget *> boxes = {m_tournamentName, m_resultsPathName, m_capturesPathName,
                                    m_setupFilesPathName};
    for (QWidget *w : boxes)
        w->blockSignals(true);
    m_tournamentName->setText(m_configuration.tournamentName());
    m_resultsPathName->setText(m_configuration.resultsPath());
    m_capturesPathName->setText(state.capturesPath);
    m_setupFilesPathName->setText(state.setupFilesPath);
    for (QWidget *w : boxes)
        w->blockSignals(false);
    m_setupFilesPathName->setPlaceholderText(state.defaultSetupFilesPath +
                                             QStringLiteral("  (used while this box is empty)"));
    showSetupFilesWarning();

    const int grids = m_configuration.gridCount();
    setCheckedQuietly(grids == 2 ? m_opt2grid : grids == 3 ? m_opt3grid : m_opt1Grid, true);
    setCheckedQuietly(m_barefootBox, state.barefootMode());
    setCheckedQuietly(m_sitSkiBox, state.sitSkiMode());
    setCheckedQuietly(state.rightToLeft ? m_rightToLeft : m_leftToRight, true);
    setCheckedQuietly(m_lineControl, !state.lineControlOff);
    const QString &label = state.labelColourWord;
    setCheckedQuietly(label == QLatin1String("white")    ? m_whiteColor
                      : label == QLatin1String("black")  ? m_blackColor
                      : label == QLatin1String("yellow") ? m_yellowColor
                                                         : m_defaultColor,
                      true);
    const QString impact = m_context.settings().read(QStringLiteral("impactcolor"));
    setCheckedQuietly(impact == QLatin1String("red")      ? m_impactRed
                      : impact == QLatin1String("yellow") ? m_impactYellow
                      : impact == QLatin1String("black")  ? m_impactBlack
                                                          : m_impactWhite,
                      true);
    setCheckedQuietly(state.markerStyle == QLatin1String("cross") ? m_optCross : m_optCircle, true);
    const auto policyButton = [](SavePolicy p, QRadioButton *ask, QRadioButton *no, QRadioButton *save) {
        return p == SavePolicy::Save ? save : p == SavePolicy::NoSave ? no : ask;
    };
    setCheckedQuietly(policyButton(state.pictureSavePolicy, m_pictureAsk, m_pictureNoSave, m_pictureSave), true);
    setCheckedQuietly(policyButton(state.videoSavePolicy, m_videoAsk, m_videoNoSave, m_videoSave), true);
    setCheckedQuietly(m_wstims, state.wstims);
    m_qvioLabel->setVisible(state.wstims);
    setCheckedQuietly(m_chkLoupe, m_context.settings().read(QStringLiteral("Loupe"), 0) == QLatin1String("1"));
    setCheckedQuietly(m_chkBadSetup, state.allowInvalidSetup);
}

void Config::findFile(QLineEdit *box, FileDialogKind kind)
{
    FileDialogRequest request;
    request.kind = kind;
    request.startDirectory = m_context.paths().appDir();
    request.filters = parseFilterText(QStringLiteral(
        "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.ipt)|*.ipt|"));
    request.filterIndex = 2;
    if (const std::optional<QString> path = m_context.prompter().chooseFile(request))
        box->setText(*path);
}

void Config::showSetupFilesWarning()
{
    const std::optional<QString> warning =
        Configuration::setupFilesWarning(m_setupFilesPathName->text());
    m_setupFilesWarning->setText(warning.value_or(QString()));
    m_setupFilesWarning->setVisible(warning.has_value());
}

void Config::findSetupFilesFolder()
{
    FileDialogRequest request;
    request.kind = FileDialogKind::Folder;
    request.title = QStringLiteral("Setup files path");
    const QString typed = m_setupFilesPathName->text().trimmed();
    request.startDirectory = typed.isEmpty() ? m_context.videoDirectory : typed;
    if (const std::optional<QString> folder = m_context.prompter().chooseFile(request))
        m_setupFilesPathName->setText(*folder);
}

void Config::mnuExit_Click()
{
    const QString captures = m_configuration.exit(m_capturesPathName->text());
    {
        const QSignalBlocker blocker(m_capturesPathName);
        m_capturesPathName->setText(captures);
    }
    hide();
    m_context.navigator().show(ScreenId::Main);
}

} // namespace skelvin
