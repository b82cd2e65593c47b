#include "game/ClockRandom.h"
#include "ui/frmKorvanda.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr char Advice[] = "run it on a desktop, or set DISPLAY";

bool displayNamed() {
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

// What Qt says while it connects to the window system. Qt aborts with a trace when it
// cannot connect; a player gets one line instead, naming the first thing that went wrong.
QStringList& startupMessages() {
    static QStringList messages;
    return messages;
}

void holdStartupMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    startupMessages().append(message.section(QLatin1Char('\n'), 0, 0));
    if (type != QtFatalMsg)
        return;
    std::fprintf(stderr, "korvanda: cannot open a window (%s); %s\n",
                 qPrintable(startupMessages().constFirst()), Advice);
    std::_Exit(EXIT_FAILURE);
}

} // namespace

int main(int argc, char* argv[]) {
    if (!displayNamed()) {
        std::fprintf(stderr, "korvanda: no display found; %s\n", Advice);
        return EXIT_FAILURE;
    }
    const QtMessageHandler previous = qInstallMessageHandler(holdStartupMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    for (const QString& message : std::as_const(startupMessages()))
        std::fprintf(stderr, "%s\n", qPrintable(message));
    startupMessages().clear();

    QApplication::setApplicationName(QStringLiteral("Korvanda"));
    QApplication::setApplicationVersion(QStringLiteral(KORVANDA_VERSION));
    // Lets a Wayland desktop match the window with its desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(KORVANDA_APP_ID));

    korvanda::frmKorvanda window(std::make_unique<korvanda::ClockRandom>());
    window.show();
    return app.exec();
}
