// vortalex-utility: the program users install. It talks to a real box over
// USB and takes no command-line options.
#include "appcontext.h"
#include "device/clock.h"
#include "device/libusb/libusbbridge.h"
#include "dialogs.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    vortalex::SystemClock clock;
    vortalex::LibusbBridge bridge;
    vortalex::QtDialogs dialogs;
    vortalex::AppContext context { bridge, clock, dialogs, vortalex::writeDiagnosticLine,
                                   vortalex::exitProcessNow, {} };
    return vortalex::runApplication(app, context);
}
