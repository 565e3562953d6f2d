#include "app/Program.h"

#include "core/app/AppContext.h"
#include "core/app/ShippedFiles.h"
#include "core/capture/CaptureControl.h"
#include "core/capture/SimulatedDeviceCatalog.h"
#include "core/capture/SystemDeviceCatalog.h"
#include "ui/app/Config.h"
#include "ui/app/MainForm.h"
#include "ui/app/ScreenNavigator.h"
#include "ui/common/PictureView.h"
#include "ui/grid_setup/Calibrate.h"
#include "ui/grid_setup/Grid_Setup.h"
#include "ui/measure/Measure.h"
#include "ui/measure/Results.h"

namespace skelvin {

struct Program::Screens
{
    explicit Screens(AppContext &context)
        : navigator(context.prompter()), mainForm(context), config(context), gridSetup(context),
          measure(context), results(context),
          calibrate(context, gridSetup.pictureView(), measure.pictureView())
    {
        context.setNavigator(&navigator);
        navigator.registerScreen(ScreenId::Main, &mainForm);
        navigator.registerScreen(ScreenId::Config, &config);
        navigator.registerScreen(ScreenId::GridSetup, &gridSetup);
        navigator.registerScreen(ScreenId::Measure, &measure);
        navigator.registerScreen(ScreenId::Results, &results, [this] { results.showResults(); });
        navigator.registerScreen(ScreenId::Calibrate, &calibrate);
    }

    ScreenNavigator navigator;
    MainForm mainForm;
    Config config;
    Grid_Setup gridSetup;
    Measure measure;
    Results results;
    Calibrate calibrate;
};

namespace {

std::unique_ptr<CaptureDevice> makeCaptureControl(const CommandLineOptions &options,
                                                  std::unique_ptr<DeviceCatalog> devices)
{
    if (!devices) {
        if (options.simulatedCamera)
            devices = std::make_unique<SimulatedDeviceCatalog>();
        else
            devices = makeSystemDeviceCatalog();
    }
    return std::make_unique<CaptureControl>(std::move(devices));
}

} // namespace

Program::Program(const CommandLineOptions &options, Clock &clock, Prompter &prompter,
                 std::unique_ptr<DeviceCatalog> devices)
    : m_context(std::make_unique<AppContext>(options.paths, clock, prompter,
                                             makeCaptureControl(options, std::move(devices)))),
      m_screens(std::make_unique<Screens>(*m_context))
{
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
