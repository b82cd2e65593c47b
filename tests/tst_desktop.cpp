#include "BoardWindow.h"
#include "ui/Geometry.h"

#include <QAccessible>
#include <QAction>
#include <QFontDatabase>
#include <QFontInfo>
#include <algorithm>

using namespace korvanda;

namespace {

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

// Whether any pixel of the rectangle is darker than mid grey.
bool hasDarkInk(const QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y).lightness() < 80)
                return true;
    return false;
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void namesAreGivenWhenAToolStartsListening() {
        BoardWindow board;
        BoardWindow::click(board.palette(3));
        QCOMPARE(accessibleName(board.hole(1, 1)), QString());
        // As when an assistive tool starts listening.
        QAccessible::setActive(true);
        QCOMPARE(accessibleName(board.hole(1, 1)), QStringLiteral("Row 1, hole 4: empty"));
        QCOMPARE(accessibleName(board.palette(3)), QStringLiteral("Green peg, selected"));
    }

    void accessibleNamesFollowTheGame() {
        BoardWindow board({1, 1, 2, 3});
        QAccessible::setActive(true);
        QCOMPARE(accessibleName(board.hole(2, 3)), QStringLiteral("Row 3, hole 3: empty"));
        QCOMPARE(accessibleName(board.box(8)), QStringLiteral("Row 3, box 1: 0 black, 0 white"));
        QCOMPARE(accessibleName(board.palette(1)), QStringLiteral("Red peg"));
        QCOMPARE(accessibleName(board.hole(1, AnswerRow)),
                 QStringLiteral("Answer, hole 4: hidden"));
        QCOMPARE(accessibleName(board.message()),
                 QStringLiteral("Choose colors (---->) and click on the holes below."));
        QCOMPARE(accessibleName(board.revealBox()), QStringLiteral("Reveal code"));

        board.playRow({4, 4, 4, 4});
        board.playRow({4, 4, 4, 4});
        BoardWindow::click(board.palette(2));
        QCOMPARE(accessibleName(board.palette(2)), QStringLiteral("Yellow peg, selected"));
        BoardWindow::click(board.hole(2, 1));
        QCOMPARE(accessibleName(board.hole(2, 3)), QStringLiteral("Row 3, hole 3: yellow"));
        QCOMPARE(accessibleName(board.palette(2)), QStringLiteral("Yellow peg, selected"));
        QCOMPARE(accessibleName(board.palette(1)), QStringLiteral("Red peg"));
        board.playRow({1, 2, 1, 1});
        QCOMPARE(accessibleName(board.box(8)), QStringLiteral("Row 3, box 1: 1 black, 2 white"));
        QCOMPARE(accessibleName(board.box(11)), QStringLiteral("Row 3, box 4: 1 black, 2 white"));
        QCOMPARE(accessibleName(board.hole(4, 3)), QStringLiteral("Row 3, hole 1: red"));

        board.playRow({1, 1, 2, 3});
        QCOMPARE(accessibleName(board.hole(3, AnswerRow)),
                 QStringLiteral("Answer, hole 2: yellow"));
        QCOMPARE(accessibleName(board.message()), QStringLiteral("You guessed the pattern!!!"));

        board.window->findChild<QAction*>(QStringLiteral("mnuNew"))->trigger();
        QCOMPARE(accessibleName(board.hole(3, AnswerRow)),
                 QStringLiteral("Answer, hole 2: hidden"));
        QCOMPARE(accessibleName(board.box(8)), QStringLiteral("Row 3, box 1: 0 black, 0 white"));
        QCOMPARE(accessibleName(board.hole(4, 3)), QStringLiteral("Row 3, hole 1: empty"));
    }

    // The message lines are measured to fit the label in the face it asks for first; a
    // stand-in face of other widths would break or clip them.
    void theMessageShowsInTheFirstInstalledFaceItAsksFor() {
        BoardWindow board;
        const QFont font = board.message()->font();
        const QStringList asked = font.families();
        const auto installed =
            std::find_if(asked.cbegin(), asked.cend(),
                         [](const QString& family) { return QFontDatabase::hasFamily(family); });
        QVERIFY2(installed != asked.cend(), qPrintable(asked.join(QLatin1String(", "))));
        QCOMPARE(QFontInfo(font).family(), *installed);
#if defined(Q_OS_LINUX)
        QCOMPARE(*installed, QStringLiteral("Liberation Sans"));
#elif defined(Q_OS_WIN)
        // Windows has no Liberation Sans, but every Windows has Arial.
        QCOMPARE(*installed, QStringLiteral("Arial"));
#endif
    }

    void aDarkDesktopLeavesLinesAndTextBlack() {
        const QPalette saved = QApplication::palette();
        QPalette dark;
        for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
            dark.setColor(role, QColor(40, 40, 40));
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, QColor(250, 250, 250));
        QApplication::setPalette(dark);

        BoardWindow board;
        board.revealBox()->setText(QStringLiteral("WWW"));
        board.playRow({1, 2, 3, 4});
        const QImage image = board.client();
        QApplication::setPalette(saved);

        QCOMPARE(image.pixelColor(88, geometry::lineY(0)), QColor(Qt::black));
        QCOMPARE(image.pixelColor(geometry::px(geometry::BoardLeft), 250), QColor(Qt::black));
        QCOMPARE(image.pixelColor(geometry::AnswerLabelRect.bottomRight()), QColor(224, 224, 224));
        QVERIFY(hasDarkInk(image, geometry::AnswerLabelRect));
        QVERIFY(hasDarkInk(image, geometry::RevealBoxRect.adjusted(3, 3, -3, -3)));
        QCOMPARE(image.pixelColor(geometry::RevealBoxRect.bottomRight() - QPoint(3, 3)),
                 QColor(224, 224, 224));
    }
};

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
