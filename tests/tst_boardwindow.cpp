#include "BoardWindow.h"
#include "ui/Geometry.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPushButton>

using namespace korvanda;

using Guess = std::array<int, 4>;
using Boxes = std::array<QColor, 4>;
Q_DECLARE_METATYPE(Guess)
Q_DECLARE_METATYPE(Boxes)

namespace {

constexpr QColor Ground{80, 91, 97};
constexpr QColor Back{224, 224, 224};
constexpr QColor Grey{181, 181, 181};
constexpr QColor BlackMark{0, 0, 0};
constexpr QColor WhiteMark{253, 252, 255};
constexpr std::array<QColor, 4> PegColors{QColor(252, 0, 25), QColor(252, 248, 0),
                                          QColor(35, 255, 0), QColor(0, 27, 251)};

// Where a 25-pixel hole or peg shows its disc's centre and its ground.
QPoint discCentre(const QRect& box) {
    return box.topLeft() + QPoint(14, 14);
}
QPoint ground(const QRect& box) {
    return box.topLeft() + QPoint(2, 2);
}

QColor at(const QImage& image, QPoint point) {
    return image.pixelColor(point);
}

// The 5 x 5 inside of a feedback box, all of one colour.
bool boxShows(const QImage& image, int index, QColor color) {
    const QRect inner = geometry::feedbackRect(index).adjusted(2, 2, -2, -2);
    for (int y = inner.top(); y <= inner.bottom(); ++y)
        for (int x = inner.left(); x <= inner.right(); ++x)
            if (image.pixelColor(x, y) != color)
                return false;
    return inner.width() == 5 && inner.height() == 5;
}

} // namespace

class BoardWindowTest : public QObject {
    Q_OBJECT

private slots:
    void hasAFixedClientAreaAndNoMaximizeButton() {
        BoardWindow board;
        board.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(board.window.get()));
        QCOMPARE(board.window->centralWidget()->size(), QSize(261, 438));
        QCOMPARE(board.window->minimumSize(), board.window->maximumSize());
        QVERIFY(!(board.window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(board.window->windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(board.window->windowTitle(), QStringLiteral(" Korvanda"));
        QVERIFY(!board.window->windowIcon().isNull());
        QCOMPARE(board.client().size(), QSize(261, 438));
    }

    void opensWithAnEmptyBoard() {
        BoardWindow board;
        const QImage image = board.client();
        for (int c = 1; c <= Columns; ++c) {
            for (int row = 1; row <= GuessRows; ++row) {
                const QRect hole = geometry::holeRect(c, row);
                QCOMPARE(board.hole(c, row)->geometry(), hole);
                QCOMPARE(at(image, discCentre(hole)), QColor(Qt::black));
                QCOMPARE(at(image, ground(hole)), Ground);
                // Pixels 25 to 27 of the picture are cut off: the next pixel is the board's.
                QCOMPARE(at(image, hole.topLeft() + QPoint(12, 25)), Back);
            }
        }
        for (int index = 0; index < FeedbackBoxes; ++index)
            QVERIFY2(boxShows(image, index, Grey), qPrintable(QString::number(index)));
        for (int code = 1; code <= ColorCount; ++code) {
            const QRect peg = geometry::paletteRect(code);
            QCOMPARE(at(image, discCentre(peg)), PegColors.at(static_cast<std::size_t>(code - 1)));
            QCOMPARE(at(image, ground(peg)), Ground);
            QVERIFY(board.arrow(code)->isHidden());
            QCOMPARE(at(image, geometry::arrowRect(code).center()), Back);
        }
        QVERIFY(board.answerHidden());
        QCOMPARE(at(image, discCentre(geometry::holeRect(1, AnswerRow))), Back);
        QCOMPARE(at(image, geometry::AnswerLabelRect.center()), Back);
        QCOMPARE(board.message()->text(),
                 QStringLiteral("Choose colors (---->) and\nclick on the holes below."));
    }

    void placesTheBoardAsDrawn_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QColor>("color");
        QTest::newRow("top line") << QPoint(88, 104) << QColor(Qt::black);
        QTest::newRow("top line, 2 px thick each side") << QPoint(88, 102) << QColor(Qt::black);
        QTest::newRow("above the top line") << QPoint(88, 101) << Back;
        QTest::newRow("line under row 1") << QPoint(88, 424) << QColor(Qt::black);
        QTest::newRow("line under row 8") << QPoint(60, 144) << QColor(Qt::black);
        QTest::newRow("left line") << QPoint(16, 250) << QColor(Qt::black);
        QTest::newRow("right line") << QPoint(160, 250) << QColor(Qt::black);
        QTest::newRow("inside a row") << QPoint(20, 300) << Back;
        QTest::newRow("outside the board") << QPoint(170, 300) << Back;
        QTest::newRow("message label") << QPoint(17, 41) << QColor(Qt::black);
        QTest::newRow("figure ground") << QPoint(193, 181) << QColor(Qt::black);
        QTest::newRow("leftmost hole of row 1") << QPoint(24 + 14, 392 + 14) << QColor(Qt::black);
        QTest::newRow("box 0 top left of row 1") << QPoint(130, 394) << Grey;
        QTest::newRow("box 31 bottom right of row 8") << QPoint(146, 130) << Grey;
    }
    void placesTheBoardAsDrawn() {
        QFETCH(QPoint, point);
        QFETCH(QColor, color);
        BoardWindow board;
        QCOMPARE(at(board.client(), point), color);
    }

    // In the face that the label resolves to, which the desktop tests check.
    void fitsEveryMessageLineInTheLabel() {
        BoardWindow board;
        const QFont font = board.message()->font();
        QVERIFY(QFontInfo(font).bold());
        const QFontMetrics metrics(font);
        for (const std::string_view text :
             {Game::StartMessage, Game::WinMessage, Game::LossMessage}) {
            const QString message = QString::fromLatin1(text.data(), qsizetype(text.size()));
            const QStringList lines = message.split(QStringLiteral("\r\n"));
            QCOMPARE(lines.size(), 2);
            for (const QString& line : lines)
                QVERIFY2(metrics.horizontalAdvance(line) <= board.message()->width(),
                         qPrintable(line));
            QVERIFY(2 * metrics.lineSpacing() <= board.message()->height());
        }
    }

    void keepsTemplatesAndCommand1OutOfSight() {
        BoardWindow board;
        board.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(board.window.get()));
        auto* command1 = board.control<QPushButton>(QStringLiteral("Command1"));
        QVERIFY(command1->visibleRegion().isEmpty());
        QVERIFY(!QRect(QPoint(), geometry::ClientSize).intersects(command1->geometry()));
    }

    void startsWithTheFocusOffTheBoard() {
        BoardWindow board;
        board.window->show();
        QVERIFY(QTest::qWaitForWindowActive(board.window.get()));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command1"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("abc"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(board.revealBox()->text(), QString());
        QCOMPARE(board.state().CurrentRow, 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), board.revealBox());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("abc"));
        QCOMPARE(board.revealBox()->text(), QStringLiteral("abc"));
    }

    void dressesTheAnswerRowWithThePegTemplates() {
        BoardWindow board({3, 3, 1, 4});
        const std::array codes{3, 3, 1, 4};
        for (int c = 1; c <= Columns; ++c)
            QCOMPARE(board.hole(c, AnswerRow)->picture(),
                     board.window->pegPicture(codes.at(static_cast<std::size_t>(c - 1))));
        QVERIFY(board.window->pegPicture(1) != board.window->pegPicture(2));
    }

    void paintsTheMarksBesideTheRow_data() {
        QTest::addColumn<Guess>("guess");
        QTest::addColumn<Boxes>("boxes");
        const QColor b = BlackMark;
        const QColor w = WhiteMark;
        const QColor g = Grey;
        // Against the secret 1, 1, 2, 3.
        QTest::newRow("four black") << Guess{1, 1, 2, 3} << Boxes{b, b, b, b};
        QTest::newRow("one black, two white") << Guess{1, 2, 1, 1} << Boxes{b, w, w, g};
        QTest::newRow("three white") << Guess{2, 3, 1, 4} << Boxes{w, w, w, g};
        QTest::newRow("nothing") << Guess{4, 4, 4, 4} << Boxes{g, g, g, g};
    }
    void paintsTheMarksBesideTheRow() {
        QFETCH(Guess, guess);
        QFETCH(Boxes, boxes);
        BoardWindow board({1, 1, 2, 3});
        board.playRow(guess);
        const QImage image = board.client();
        for (int k = 0; k < BoxesPerRow; ++k)
            QVERIFY2(boxShows(image, k, boxes.at(static_cast<std::size_t>(k))),
                     qPrintable(QString::number(k)));
        // The pegs stay in the row just scored.
        QCOMPARE(at(image, discCentre(geometry::holeRect(4, 1))),
                 PegColors.at(static_cast<std::size_t>(guess[3] - 1)));
    }

    void showsTheAnswerWhenTheGameIsDecided() {
        BoardWindow board({2, 4, 4, 1});
        board.playRow({2, 4, 4, 1});
        QVERIFY(board.answerShown());
        QCOMPARE(board.message()->text(), QStringLiteral("You guessed\nthe pattern!!!"));
        const QImage image = board.client();
        QCOMPARE(at(image, discCentre(geometry::holeRect(1, AnswerRow))), PegColors[1]);
        QCOMPARE(at(image, discCentre(geometry::holeRect(4, AnswerRow))), PegColors[0]);
        int ink = 0;
        for (int y = geometry::AnswerLabelRect.top(); y <= geometry::AnswerLabelRect.bottom(); ++y)
            for (int x = geometry::AnswerLabelRect.left(); x <= geometry::AnswerLabelRect.right();
                 ++x)
                ink += image.pixelColor(x, y).lightness() < 100 ? 1 : 0;
        QVERIFY(ink > 20);
    }
};

QTEST_MAIN(BoardWindowTest)
#include "tst_boardwindow.moc"
