#include "WebPage.h"

#include "WebAccessibility.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QString>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <emscripten.h>

namespace korvanda {

namespace {

// The size of the desktop's standard face on a Linux desktop that sets none.
constexpr qreal StandardPointSize = 9;

} // namespace

void WebPage::prepare(QApplication& app) {
    for (const char* face :
         {":/fonts/LiberationSans-Regular.ttf", ":/fonts/LiberationSans-Bold.ttf"})
        QFontDatabase::addApplicationFont(QLatin1String(face));
    QFont standard(QStringLiteral("Liberation Sans"));
    standard.setPointSizeF(StandardPointSize);
    QApplication::setFont(standard);

    // A press on a window that a modal box blocks makes Qt 6.4's page compositor hand that
    // window the focus, where no key reaches anything: the focus goes back to the box, so
    // that Enter and Escape still close it.
    QObject::connect(&app, &QGuiApplication::focusWindowChanged, [](QWindow* window) {
        QWidget* box = QApplication::activeModalWidget();
        if (box && window != box->windowHandle())
            box->activateWindow();
    });

    // Made before the end below is connected, so that the copy goes before the program.
    new WebAccessibility(&app);

    // Ends the program at once, as on the desktop; the page is told (its onExit) and shows
    // the end in place of the board.
    QObject::connect(&app, &QGuiApplication::lastWindowClosed,
                     [] { emscripten_force_exit(EXIT_SUCCESS); });
}

} // namespace korvanda
