#pragma once

class QApplication;

namespace korvanda {

// The program as it runs in a web page: with the face it brings, since a page offers Qt
// none, with an end that the page can show, since a page has no process to end, and with
// a copy of its windows for the browser's screen reader, which cannot read Qt's picture.
class WebPage {
public:
    // Called once, after the application object is made and before the window is.
    static void prepare(QApplication& app);
};

} // namespace korvanda
