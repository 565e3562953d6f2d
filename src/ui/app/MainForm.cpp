#include "ui/app/MainForm.h"

#include "core/app/AppContext.h"
#include "core/app/Navigator.h"
#include "core/app/SkierNamesImport.h"
#include "core/app/Startup.h"
#include "core/common/NumberText.h"
#include "core/common/PathExists.h"
#include "core/common/Paths.h"
#include "core/capture/CaptureDevice.h"
#include "ui/capture/CapturePanel.h"
#include "ui/common/Named.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace skelvin {

namespace {

const QString kPathErrorText = QStringLiteral("The Log File Folder you specified does not exist. ")
                               + QStringLiteral("Please change it to a Folder that does exist.");

} // namespace

MainForm::MainForm(AppContext &context, QWidget *parent) : QMainWindow(parent), m_context(context)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Skelvin 2005"));
    buildControls();
}

void MainForm::buildControls()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);

    m_frame1 = named(new QGroupBox(QStringLiteral("Skelvin Controls and Configuration")), "Frame1");
    auto *buttons = new QGridLayout(m_frame1);
    auto addButton = [&](const char *name, const QString &caption, int row, int column,
                         auto handler) {
        auto *button = named(new QPushButton(caption), name);
        buttons->addWidget(button, row, column);
        connect(button, &QPushButton::clicked, this, handler);
        return button;
    };
    addButton("cmdGoCapture", QStringLiteral("Proceed to Capture Video"), 0, 0, [this] { cmdGoCapture_Click(); });
    addButton("cmdGoTimer", QStringLiteral("View Already Recorded Jump Videos"), 0, 1, [this] { cmdGoTimer_Click(); });
    addButton("ccmdGoToMeasure", QStringLiteral("View Already Recorded Jump Pics"), 1, 0, [this] { ccmdGoToMeasure_Click(); });
    addButton("cmdSetup", QStringLiteral("Grid Setup"), 1, 1,
              [this] { m_context.navigator().show(ScreenId::GridSetup); });
    addButton("cmdConfigure", QStringLiteral("System Configuration"), 2, 0,
              [this] { m_context.navigator().show(ScreenId::Config); });
    addButton("cmdImport", QStringLiteral("Import Skier Names File"), 2, 1, [this] { cmdImport_Click(); });
    addButton("btnChangeDirectory", QStringLiteral("Change Video File Directory"), 3, 0,
              [this] { btnChangeDirectory_Click(); });
    m_cmdShowConfig = addButton("cmdShowConfig", QStringLiteral("Show Video Configuration"), 3, 1,
                                [this] { cmdShowConfig_Click(); });
    layout->addWidget(m_frame1);

    layout->addWidget(named(new QLabel(QStringLiteral("Save Video Files in this Directory")), "Label2"));
    m_txtVideoDir = named(new QLineEdit, "txtVideoDir");
    connect(m_txtVideoDir, &QLineEdit::textChanged, this, &MainForm::txtVideoDir_Change);
    layout->addWidget(m_txtVideoDir);
    m_lblVideodir = named(new QLabel, "lblVideodir");
    layout->addWidget(m_lblVideodir);

    auto *grids = new QGridLayout;
    static const char *const labelNames[] = {"lblGrid1", "lblGrid2", "lblGrid3"};
    static const char *const imageNames[] = {"ImageGrid1", "ImageGrid2", "ImageGrid3"};
    static const char *const descriptionNames[] = {"txtGridDescription_0", "txtGridDescription_1",
                                                   "txtGridDescription_2"};
    // "Grid3" without a blank is the label's caption as operators know it.
    static const char *const captions[] = {"Grid 1", "Grid 2", "Grid3"};
    for (size_t i = 0; i < 3; ++i) {
        m_lblGrid[i] = named(new QLabel(QString::fromLatin1(captions[i])), labelNames[i]);
        m_imageGrid[i] = named(new QLabel, imageNames[i]);
        m_imageGrid[i]->setFixedSize(34, 34);
        m_txtGridDescription[i] = named(new QLineEdit, descriptionNames[i]);
        m_txtGridDescription[i]->setReadOnly(true);
        const int row = static_cast<int>(i);
        grids->addWidget(m_lblGrid[i], row, 0);
        grids->addWidget(m_imageGrid[i], row, 1);
        grids->addWidget(m_txtGridDescription[i], row, 2);
    }
    layout->addLayout(grids);

    m_lblConfig = named(new QLabel(QStringLiteral("Currently Configured for R")), "lblConfig");
    layout->addWidget(m_lblConfig);
    m_cb15 = named(new QCheckBox(QStringLiteral("Enable Barefoot Timing (15 sec)")), "cb15");
    connect(m_cb15, &QCheckBox::clicked, this, &MainForm::cb15_Click);
    layout->addWidget(m_cb15);

    m_capturePanel = new CapturePanel(m_context);
    connect(m_capturePanel, &CapturePanel::frameRateChanged, this,
            [this](const QString &text) { m_lblConfig->setText(frameRateLabel(text, m_lblConfig->text())); });
    m_capturePanel->setConfigurationShown(false);
    layout->addWidget(m_capturePanel);
    layout->addStretch();
    setCentralWidget(central);

    QMenuBar *bar = menuBar();
    auto addMenu = [&](const char *name, const QString &caption, auto handler) {
        QAction *action = bar->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
    };
    addMenu("mnuViewLog", QStringLiteral("&Video Log"), [this] { m_context.navigator().show(ScreenId::VideoLog); });
    addMenu("mnuPictureLog", QStringLiteral("&Picture Log"), [this] { m_context.navigator().show(ScreenId::PictureLog); });
    addMenu("munManual", QStringLiteral("View &Manual"), [this] { m_context.navigator().show(ScreenId::Manual); });
    addMenu("mnuExit", QStringLiteral("E&xit"), [this] { mnuExit_Click(); });
}

void MainForm::placeWindows()
{
    // The capture screen stands at the main screen's right edge, both on the screen.
    const QScreen *display = screen();
    if (!display || !m_captureScreen)
        return;
    const QRect available = display->availableGeometry();
    if (x() + frameGeometry().width() + m_captureScreen->frameGeometry().width() > available.right())
        move(available.left(), y());
    if (m_captureScreen->windowState() & Qt::WindowMaximized)
        return; // it fills the monitor wherever the main screen stands
    QPoint at(x() + frameGeometry().width(), y());
    if (at.x() > available.right())
        at.setX(available.left());
    m_captureScreen->move(at);
}

void MainForm::cmdShowConfig_Click()
{
    const bool show = m_cmdShowConfig->text() == QLatin1String("Show Video Configuration");
    m_capturePanel->setConfigurationShown(show);
    m_cmdShowConfig->setText(show ? QStringLiteral("Hide Video Configuration")
                                  : QStringLiteral("Show Video Configuration"));
    // The window takes the size of what it shows, smaller again once the panel is hidden.
    if (!isMaximized() && !isFullScreen()) {
        centralWidget()->adjustSize();
        adjustSize();
    }
}

bool MainForm::startUp()
{
    startDebugLogAndOfferReset(m_context);
    m_capturePanel->fillFromDevice();
    placeWindows();
    m_capturePanel->connectAtStartup();

    const std::optional<QString> directory =
        settleVideoDirectory(m_context.settings(), m_context.prompter());
    if (!directory)
        return false;
    m_txtVideoDir->setText(*directory);
    m_context.videoDirectory = withoutTrailingSeparator(*directory);

    openDaySessionLog(m_context);
    m_lblVideodir->setText(m_txtVideoDir->text());
    m_context.captureDevice().setPreviewEnabled(true);
    m_cb15->setChecked(m_context.settings().readFlag(QStringLiteral("barefoot"), false));
    m_capturePanel->finishStartup();
    m_lblConfig->setText(frameRateLabel(m_capturePanel->frameRateText(), m_lblConfig->text()));

    m_context.prompter().inform(QStringLiteral("Please Verify all Setup Parameters"));
    m_context.navigator().show(ScreenId::Config);
    return true;
}

void MainForm::refreshGridIndicators()
{
    for (size_t i = 0; i < 3; ++i) {
        const GridIndicator &indicator = m_context.gridIndicators[i];
        m_lblGrid[i]->setVisible(indicator.visible);
        m_imageGrid[i]->setVisible(indicator.visible);
        m_txtGridDescription[i]->setVisible(indicator.visible);
        m_txtGridDescription[i]->setText(indicator.description);
        m_imageGrid[i]->setPixmap(indicator.picture.isEmpty()
                                      ? QPixmap()
                                      : QPixmap(m_context.paths().appFile(indicator.picture)));
        m_imageGrid[i]->setProperty("picture", indicator.picture);
    }
}

void MainForm::showEvent(QShowEvent *event)
{
    m_context.navigationTag.clear();
    refreshGridIndicators();
    QMainWindow::showEvent(event);
}

void MainForm::paintEvent(QPaintEvent *event)
{
    m_context.navigationTag.clear();
    QMainWindow::paintEvent(event);
}

void MainForm::closeEvent(QCloseEvent *event)
{
    // Closing the main screen by its frame ends the program as Exit does: only once the
    // operator says so, since a click on the wrong corner would end the tournament's program.
    if (!confirmQuit()) {
        event->ignore();
        return;
    }
    event->accept();
    QApplication::quit();
}

bool MainForm::confirmQuit()
{
    return m_context.prompter().askYesNo(QStringLiteral("Are you sure you want to quit?"));
}

bool MainForm::videoDirectoryExists() const
{
    return PathExists(m_txtVideoDir->text(), PathFolder);
}

bool MainForm::refuseMissingVideoDirectory()
{
    if (videoDirectoryExists())
        return false;
    m_context.prompter().inform(kPathErrorText, MessageIcon::Exclamation, QStringLiteral("Path Error"));
    return true;
}

void MainForm::cmdGoCapture_Click()
{
    if (refuseMissingVideoDirectory())
        return;
    m_context.captureDevice().setPreviewEnabled(true);
    m_context.navigationTag = QStringLiteral("Setup");
    m_context.handOver.startFocusPending = true;
    m_context.navigator().show(ScreenId::Capture);
}

void MainForm::cmdGoTimer_Click()
{
    if (refuseMissingVideoDirectory())
        return;
    m_context.navigationTag = QStringLiteral("Setup");
    m_context.captureDevice().setPreviewEnabled(true);
    m_context.navigator().show(ScreenId::FrameSelection);
}

void MainForm::ccmdGoToMeasure_Click()
{
    if (m_context.grids().allGridsReady()) {
        m_context.navigator().show(ScreenId::Measure);
        return;
    }
    m_context.prompter().inform(
        QStringLiteral("At least one measurement grid that you have specified has ")
            + QStringLiteral("not been set up.  All grids specified must be set up correctly before ")
            + QStringLiteral("you can use the measurement screen"),
        MessageIcon::Critical);
    m_context.navigator().show(ScreenId::GridSetup);
}

void MainForm::cmdImport_Click()
{
    FileDialogRequest request;
    request.kind = FileDialogKind::Open;
    request.title = QStringLiteral("Import Skier Names File");
    request.startDirectory = m_context.paths().appDir();
    request.filters = parseFilterText(QStringLiteral("All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|"));
    request.filterIndex = 2;
    const std::optional<QString> path = m_context.prompter().chooseFile(request);
    if (!path)
        return;
    const Result<QString> first = importSkierNames(*path, m_context.paths().appDir());
    if (!first) {
        m_context.prompter().inform(QStringLiteral("The skier names file could not be imported.\n")
                                        + first.error(),
                                    MessageIcon::Exclamation);
        return;
    }
    m_context.handOver.captureSkierName = first.value();
    emit skierNameImported(first.value());
}

void MainForm::btnChangeDirectory_Click()
{
    while (true) {
        const std::optional<QString> answer = m_context.prompter().input(
            {QStringLiteral("Please put in the path of the Save Video Directory here."),
             QStringLiteral("Input Save Video Files Path"), m_lblVideodir->text()});
        if (!answer || answer->isEmpty())
            return;
        if (PathExists(*answer, PathFolder)) {
            m_txtVideoDir->setText(*answer);
            m_lblVideodir->setText(*answer);
            m_context.settings().write(QStringLiteral("logpath"), m_txtVideoDir->text());
            m_context.videoDirectory = withoutTrailingSeparator(m_txtVideoDir->text());
            return;
        }
        m_context.prompter().inform(QStringLiteral("The folder you entered does not exist"),
                                    MessageIcon::Exclamation, QStringLiteral("Jump Measurement Alert"));
    }
}

void MainForm::txtVideoDir_Change(const QString &text)
{
    m_context.videoDirectory = withoutTrailingSeparator(text);
    m_context.settings().write(QStringLiteral("logpath"), text);
}

void MainForm::cb15_Click(bool checked)
{
    m_context.settings().write(QStringLiteral("barefoot"), checked ? 1 : 0);
}

void MainForm::mnuExit_Click()
{
    if (confirmQuit())
        QApplication::quit();
}

} // namespace skelvin
