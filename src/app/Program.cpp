#include "app/Program.h"

#include "core/app/AppContext.h"
#include "app/CaptureSetup.h"
#include "core/app/ShippedFiles.h"
#include "ui/app/Config.h"
#include "ui/app/MainForm.h"
#include "ui/app/ScreenNavigator.h"
#include "ui/capture/CapturePanel.h"
#include "ui/capture/PreviewForm.h"
#include "ui/capture/frmSelectSkier.h"
#include "ui/common/PictureView.h"
#include "ui/frames/frmSetStart.h"
#include "ui/grid_setup/Calibrate.h"
#include "ui/grid_setup/Grid_Setup.h"
#include "ui/logs/frmManual.h"
#include "ui/logs/LogView.h"
#include "ui/logs/PictureLogView.h"
#include "ui/measure/Measure.h"
#include "ui/measure/Results.h"

namespace skelvin {

struct Program::Screens
{
    explicit Screens(AppContext &context)
        : navigator(context.prompter()), mainForm(context), config(context), gridSetup(context),
          measure(context), results(context),
          calibrate(context, gridSetup.pictureView(), measure.pictureView()), capture(context),
          frameSelection(context), manual(context)
    {
        context.setNavigator(&navigator);
        navigator.registerScreen(ScreenId::Main, &mainForm);
        navigator.registerScreen(ScreenId::Capture, &capture);
        navigator.registerScreen(ScreenId::FrameSelection, &frameSelection);
        navigator.registerScreen(ScreenId::Config, &config);
        navigator.registerScreen(ScreenId::GridSetup, &gridSetup);
        navigator.registerScreen(ScreenId::Measure, &measure);
        navigator.registerScreen(ScreenId::Results, &results, [this] { results.showResults(); });
        navigator.registerScreen(ScreenId::Calibrate, &calibrate);
        navigator.registerScreen(ScreenId::Manual, &manual);
        registerViewers(context);

        mainForm.setCaptureScreen(&capture);
        QObject::connect(&capture, &PreviewForm::skierForMeasure, &measure, &Measure::setSkierAndJump);
        QObject::connect(&capture, &PreviewForm::skierNameForMeasure, &measure, &Measure::setSkierName);
        QObject::connect(&capture, &PreviewForm::captureValuesNeeded, mainForm.capturePanel(),
                         &CapturePanel::SetCaptureValues);
        QObject::connect(&capture, &PreviewForm::statisticsChanged, mainForm.capturePanel(),
                         &CapturePanel::showStatistics);
        QObject::connect(mainForm.capturePanel(), &CapturePanel::timeLimitChanged, &capture,
                         &PreviewForm::setPanelTimeLimit);
        QObject::connect(&mainForm, &MainForm::skierNameImported, &capture, &PreviewForm::setSkierName);
        QObject::connect(&frameSelection, &frmSetStart::skierNameSettled, &capture,
                         &PreviewForm::nameSettled);
        QObject::connect(&frameSelection, &frmSetStart::skierForMeasure, &measure,
                         &Measure::setSkierAndJump);
        QObject::connect(&measure, &Measure::videoReleaseNeeded, &frameSelection,
                         &frmSetStart::releaseVideo);
    }

    // The log viewers and the skier list are made afresh at each opening.
    void registerViewers(AppContext &context)
    {
        navigator.registerViewer(ScreenId::VideoLog, [this, &context](QWidget *owner) {
            auto *viewer = new LogView(context, owner);
            QObject::connect(viewer, &LogView::videoChosen, &frameSelection, [this] {
                // Frame selection takes the video when it comes to the front; when it is in
                // front already (the viewer was opened from it) it takes it now.
                const bool inFront = frameSelection.isVisible();
                navigator.show(ScreenId::FrameSelection);
                if (inFront)
                    frameSelection.Form_Paint();
            });
            return viewer;
        });
        navigator.registerViewer(ScreenId::PictureLog, [this, &context](QWidget *owner) {
            auto *viewer = new PictureLogView(context, owner);
            QObject::connect(viewer, &PictureLogView::pictureChosen, &measure,
                             [this](const QString &picture, const QString &skier,
                                    const QString &attempt) {
                                 if (!picture.isEmpty() && measure.showLoggedPicture(picture) &&
                                     !skier.isEmpty())
                                     measure.setSkierAndJump(skier, attempt);
                                 navigator.show(ScreenId::Measure);
                             });
            return viewer;
        });
        navigator.registerViewer(ScreenId::SelectSkier, [this, &context](QWidget *owner) {
            auto *list = new frmSelectSkier(context, owner);
            QObject::connect(list, &frmSelectSkier::skierChosen, &capture,
                             &PreviewForm::setSkierName);
            return list;
        });
    }

    ScreenNavigator navigator;
    MainForm mainForm;
    Config config;
    Grid_Setup gridSetup;
    Measure measure;
    Results results;
    Calibrate calibrate;
    PreviewForm capture;
    frmSetStart frameSelection;
    frmManual manual;
};

Program::Program(const CommandLineOptions &options, Clock &clock, Prompter &prompter,
                 std::unique_ptr<CaptureDevice> captureDevice)
    : m_context(std::make_unique<AppContext>(options.paths, clock, prompter,
                                             captureDevice ? std::move(captureDevice)
                                                           : makeCaptureDevice(options))),
      m_screens(std::make_unique<Screens>(*m_context))
{
    m_context->simulatedCamera = options.simulatedCamera;
}

Program::~Program() = default;

AppContext &Program::context()
{
    return *m_context;
}

MainForm &Program::mainForm()
{
    return m_screens->mainForm;
}

QWidget *Program::screen(ScreenId id) const
{
    return m_screens->navigator.screen(id);
}

bool Program::start()
{
    const QStringList problems = ShippedFiles::installMissing(m_context->paths().appDir());
    if (!problems.isEmpty())
        m_context->prompter().inform(problems.join(QLatin1Char('\n')), MessageIcon::Exclamation);
    return m_screens->mainForm.startUp();
}

} // namespace skelvin
