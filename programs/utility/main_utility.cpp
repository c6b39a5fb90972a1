// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-utility: the program users install. It talks to a real box over
// USB; --frame-log records every frame for a bug report.
#include "app/appcontext.h"
#include "app/commandline.h"
#include "link/clock.h"
#include "link/framelog.h"
#include "link/framelogbridge.h"
#include "libusb/libusbbridge.h"
#include "app/dialogs.h"
#include "app/startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <memory>

int main(int argc, char *argv[])
{
    const QString description = QStringLiteral("Configures the VORTALEX HDMI box over USB.");
    vortalex::answerHelpAndVersionWithoutGui(argc, argv, "vortalex-utility", description);
    QApplication app(argc, argv);
    vortalex::setWindowProgramInfo("vortalex-utility");

    QCommandLineParser parser;
    parser.setApplicationDescription(description);
    vortalex::addWindowProgramOptions(parser);
    parser.process(app);

    vortalex::SystemClock clock;
    vortalex::LibusbBridge usb;
    vortalex::FrameLogFile log;
    if (!vortalex::applyWindowProgramOptions(parser, log, clock.tickCount()))
        return 1;
    // With a frame log the window talks to the box through a bridge that
    // records every frame on its way.
    std::unique_ptr<vortalex::FrameLogBridge> logged;
    if (log.isOpen())
        logged = std::make_unique<vortalex::FrameLogBridge>(usb, clock, log.observer());
    vortalex::UsbBridge &bridge = logged ? static_cast<vortalex::UsbBridge &>(*logged) : usb;

    vortalex::QtDialogs dialogs;
    vortalex::AppContext context { bridge, clock, dialogs, vortalex::writeDiagnosticLine,
        vortalex::exitProcessNow, {} };
    return vortalex::runApplication(app, context);
}
