#include "game/ClockRandom.h"
#include "ui/frmKorvanda.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

// Qt aborts with a trace when no window system can be reached; a player gets one line.
bool displayAvailable() {
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

void exitOnFatal(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtFatalMsg) {
        std::fputs(qPrintable(message + QLatin1Char('\n')), stderr);
        return;
    }
    std::fprintf(stderr, "korvanda: cannot open a window (%s)\n",
                 qPrintable(message.section(QLatin1Char('\n'), 0, 0)));
    std::_Exit(EXIT_FAILURE);
}

} // namespace

int main(int argc, char* argv[]) {
    if (!displayAvailable()) {
        std::fputs("korvanda: no display found; run it on a desktop, or set DISPLAY\n", stderr);
        return EXIT_FAILURE;
    }
    const QtMessageHandler previous = qInstallMessageHandler(exitOnFatal);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    QApplication::setApplicationName(QStringLiteral("Korvanda"));
    QApplication::setApplicationVersion(QStringLiteral(KORVANDA_VERSION));
    // Lets a Wayland desktop match the window with its desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(KORVANDA_APP_ID));

    korvanda::frmKorvanda window(std::make_unique<korvanda::ClockRandom>());
    window.show();
    return app.exec();
}
