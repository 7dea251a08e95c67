// The program's entry: the Qt application, the platform objects, the control queue and the one
// AppDelegate, then the event loop.
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_delegate.h"
#include "control/script_control_queue.h"
#include "platform/qt/graphical_session.h"
#include "platform/qt/qt_platform.h"

int main(int argc, char* argv[]) {
    if (!quorvel::hasGraphicalSession()) {
        std::fputs(
            "quorvel-connect: no graphical session (DISPLAY and WAYLAND_DISPLAY are unset)\n",
            stderr);
        return 1;
    }
    // Read before Qt takes its own options out of argv.
    const std::vector<std::string> arguments(argv, argv + argc);

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("org.quorvel.connect.menu"));
    QApplication::setApplicationDisplayName(QStringLiteral("QUORVEL Connect"));
    QApplication::setDesktopFileName(QStringLiteral("org.quorvel.connect.menu"));
    // Closing an alert is not the end of the program: it has no window otherwise.
    QApplication::setQuitOnLastWindowClosed(false);

    quorvel::QtPlatform platform;
    auto queue = std::make_unique<quorvel::ScriptControlQueue>(platform.mainThread());
    const std::shared_ptr<quorvel::AppDelegate> delegate =
        quorvel::AppDelegate::create(platform.platform(), std::move(queue), arguments);
    QTimer::singleShot(0, &application, [&delegate] { delegate->applicationDidFinishLaunching(); });
    application.exec();

    // The controller lives until the process ends: nothing of it runs at termination. Tearing it
    // down would wait for a control command still in flight (up to its time limit) before the
    // process could go; the system releases everything at exit anyway, and the command's own
    // child, if any, finishes on its own.
    std::fflush(nullptr);
    ::_exit(0);
}
