// The least a Qt 6 program with a window like Korvanda's costs: a main window of the same
// client size with a one-item menu bar and a label, and nothing else.
#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>

namespace {

// Korvanda's client area, so that both windows have the same pixels to draw.
constexpr int ClientWidth = 261;
constexpr int ClientHeight = 438;

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral(" Baseline"));
    window.menuBar()
        ->addMenu(QStringLiteral("&File"))
        ->addAction(QStringLiteral("E&xit"), &window, &QWidget::close);
    auto* label = new QLabel(QStringLiteral("Baseline"));
    label->setFixedSize(ClientWidth, ClientHeight);
    window.setCentralWidget(label);
    window.layout()->setSizeConstraint(QLayout::SetFixedSize);

    window.show();
    return app.exec();
}
