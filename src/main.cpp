#include "game/ClockRandom.h"
#include "ui/frmKorvanda.h"
#ifdef Q_OS_WASM
#include "ui/WebPage.h"
#endif

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr char Advice[] = "run it on a desktop, or set DISPLAY";

// What Qt says while it connects to the window system, with the platform and display that
// the environment or Qt's own options (-platform, -display) name. Qt aborts with a trace
// when it cannot connect; a player gets one line instead, naming the first thing that
// went wrong.
QStringList& startupMessages() {
    static QStringList messages;
    return messages;
}

void holdStartupMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    startupMessages().append(message.section(QLatin1Char('\n'), 0, 0).trimmed());
    if (type != QtFatalMsg)
        return;
    std::fprintf(stderr, "korvanda: cannot open a window (%s); %s\n",
                 qPrintable(startupMessages().constFirst()), Advice);
    std::_Exit(EXIT_FAILURE);
}

} // namespace

int main(int argc, char* argv[]) {
    // Qt 6.4 looks for a screen reader only once, at start; with this it joins the
    // accessibility bus whenever there is one, so that a screen reader started later finds
    // the game too. A player's own setting wins.
    if (!qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"))
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
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
#ifdef Q_OS_WASM
    korvanda::WebPage::prepare(app);
#endif

    korvanda::frmKorvanda window(std::make_unique<korvanda::ClockRandom>());
    window.show();
    return app.exec();
}
