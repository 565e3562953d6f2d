#pragma once

#include "app/CommandLine.h"
#include "core/app/Navigator.h"
#include "core/capture/DeviceCatalog.h"

#include <memory>

class QWidget;

namespace skelvin {

class AppContext;
class Clock;
class MainForm;
class Prompter;

// The running program: its services, its screens and the navigation between them.
class Program
{
public:
    // The capture control reads `devices`; without them, the machine's cameras and microphones
    // (or, with --simulated-camera, only the simulated ones).
    Program(const CommandLineOptions &options, Clock &clock, Prompter &prompter,
            std::unique_ptr<DeviceCatalog> devices = nullptr);
    ~Program();

    AppContext &context();
    MainForm &mainForm();
    QWidget *screen(ScreenId id) const;

    // Installs missing shipped files and runs the start-up. False when the program must end.
    bool start();

private:
    struct Screens;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<Screens> m_screens;
};

} // namespace skelvin
