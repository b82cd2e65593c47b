#include "BoardWindow.h"
#include "ui/Geometry.h"

using namespace korvanda;

namespace {

constexpr QColor Back{224, 224, 224};

// Everything a click could change, to compare before and after.
struct Snapshot {
    std::array<const Picture*, Columns*(GuessRows + 1)> holes{};
    std::array<QColor, FeedbackBoxes> backColors{};
    std::array<const Picture*, FeedbackBoxes> marks{};
    std::array<bool, ColorCount> arrows{};
    QString message;
    bool answerShown = false;
    int currentRow = 0;
    Color selected = Color::None;
    std::array<bool, Columns> filled{};

    explicit Snapshot(const BoardWindow& board) {
        for (int c = 1; c <= Columns; ++c) {
            for (int row = AnswerRow; row <= GuessRows; ++row)
                holes.at(static_cast<std::size_t>((c - 1) * (GuessRows + 1) + row)) =
                    board.hole(c, row)->picture().get();
            filled.at(static_cast<std::size_t>(c - 1)) = board.state().HoleFilled(c);
        }
        for (int b = 0; b < FeedbackBoxes; ++b) {
            backColors.at(static_cast<std::size_t>(b)) = board.box(b)->backColor();
            marks.at(static_cast<std::size_t>(b)) = board.box(b)->picture().get();
        }
        for (int code = 1; code <= ColorCount; ++code)
            arrows.at(static_cast<std::size_t>(code - 1)) = !board.arrow(code)->isHidden();
        message = board.message()->text();
        answerShown = board.answerShown();
        currentRow = board.state().CurrentRow;
        selected = board.state().SelectedColor;
    }
    bool operator==(const Snapshot&) const = default;
};

} // namespace

class GuessClicksTest : public QObject {
    Q_OBJECT

private slots:
    void aHoleClickBeforeAColourPlacesNothing() {
        BoardWindow board;
        const Snapshot before(board);
        for (int c = 1; c <= Columns; ++c)
            for (int row = 1; row <= GuessRows; ++row)
                BoardWindow::click(board.hole(c, row));
        QVERIFY(Snapshot(board) == before);

        BoardWindow::click(board.palette(1));
        BoardWindow::click(board.hole(3, 5));
        QCOMPARE(board.hole(3, 1)->picture(), board.window->pegPicture(1));
    }

    void aClickOnAnotherRowFillsTheCurrentRow() {
        BoardWindow board;
        const auto empty = board.hole(2, GuessRows)->picture();
        BoardWindow::click(board.palette(1));
        BoardWindow::click(board.hole(2, GuessRows));
        QCOMPARE(board.hole(2, 1)->picture(), board.window->pegPicture(1));
        QCOMPARE(board.hole(2, GuessRows)->picture(), empty);
        const QImage image = board.client();
        QCOMPARE(image.pixelColor(geometry::holeRect(2, 1).topLeft() + QPoint(14, 14)),
                 QColor(252, 0, 25));
        QCOMPARE(image.pixelColor(geometry::holeRect(2, GuessRows).topLeft() + QPoint(14, 14)),
                 QColor(Qt::black));
    }

    void aClickOnARevealedAnswerHoleFillsTheCurrentRow() {
        BoardWindow board({4, 4, 4, 4});
        board.revealBox()->setText(QLatin1String(frmKorvanda::RevealCode));
        QVERIFY(board.answerShown());
        BoardWindow::click(board.palette(2));
        BoardWindow::click(board.hole(3, AnswerRow));
        QCOMPARE(board.hole(3, 1)->picture(), board.window->pegPicture(2));
        QCOMPARE(board.hole(3, AnswerRow)->picture(), board.window->pegPicture(4));
        QVERIFY(board.state().HoleFilled(3));
    }

    void thePaletteShowsOneArrow_data() {
        QTest::addColumn<int>("code");
        for (int code = 1; code <= ColorCount; ++code)
            QTest::addRow("colour %d", code) << code;
    }
    void thePaletteShowsOneArrow() {
        QFETCH(int, code);
        BoardWindow board;
        board.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(board.window.get()));
        BoardWindow::click(board.palette(code % ColorCount + 1));
        BoardWindow::click(board.palette(code));
        BoardWindow::click(board.palette(code));
        const QImage image = board.client();
        for (int k = 1; k <= ColorCount; ++k) {
            QCOMPARE(board.arrow(k)->isVisible(), k == code);
            // The arrow's middle is black paint when shown, board when hidden.
            const QColor middle = image.pixelColor(geometry::arrowRect(k).center());
            QCOMPARE(middle == Back, k != code);
        }
        QCOMPARE(board.state().SelectedColor, colorFromCode(code));
    }

    void theFourthColumnScoresTheRowShown() {
        BoardWindow board({1, 2, 3, 4});
        BoardWindow::click(board.palette(4));
        BoardWindow::click(board.hole(1, 1));
        BoardWindow::click(board.hole(2, 1));
        BoardWindow::click(board.hole(3, 1));
        BoardWindow::click(board.palette(1));
        BoardWindow::click(board.hole(1, 1));
        QCOMPARE(board.state().CurrentRow, 1);
        BoardWindow::click(board.hole(4, 1));
        // Red, blue, blue, red against red, yellow, green, blue: 1 black, 1 white.
        QCOMPARE(board.box(0)->backColor(), QColor(0, 0, 0));
        QCOMPARE(board.box(1)->backColor(), QColor(255, 255, 255));
        QCOMPARE(board.hole(4, 1)->picture(), board.window->pegPicture(1));
        QCOMPARE(board.state().CurrentRow, 2);
        QCOMPARE(board.state().SelectedColor, Color::Red);
        QVERIFY(!board.arrow(1)->isHidden());
        BoardWindow::click(board.hole(2, 7));
        QCOMPARE(board.hole(2, 2)->picture(), board.window->pegPicture(1));
    }

    void aWholeGameIsWonByClicks() {
        BoardWindow board({2, 3, 3, 1});
        board.playRow({1, 1, 1, 1});
        board.playRow({2, 2, 3, 3});
        QCOMPARE(board.message()->text(),
                 QStringLiteral("Choose colors (---->) and\nclick on the holes below."));
        QVERIFY(board.answerHidden());
        board.playRow({2, 3, 3, 1});
        QCOMPARE(board.message()->text(), QStringLiteral("You guessed\nthe pattern!!!"));
        QVERIFY(board.answerShown());
        const QImage image = board.client();
        for (int b = 8; b < 12; ++b)
            QCOMPARE(image.pixelColor(geometry::feedbackRect(b).center()), QColor(0, 0, 0));
        QCOMPARE(board.state().CurrentRow, 4);
    }

    void aWholeGameIsLostByClicks() {
        BoardWindow board({2, 3, 3, 1});
        for (int row = 1; row <= GuessRows; ++row)
            board.playRow({3, 2, 1, 4});
        QCOMPARE(board.message()->text(),
                 QStringLiteral("Sorry, but you have\nrun out of guesses."));
        QVERIFY(board.answerShown());
        // 0 black, 3 white in every row; the top row's last box stays grey.
        const QImage image = board.client();
        QCOMPARE(image.pixelColor(geometry::feedbackRect(30).center()), QColor(253, 252, 255));
        QCOMPARE(image.pixelColor(geometry::feedbackRect(31).center()), QColor(181, 181, 181));
    }

    void afterTheEighthRowClicksChangeNothing() {
        BoardWindow board({2, 3, 3, 1});
        for (int row = 1; row <= GuessRows; ++row)
            board.playRow({4, 4, 4, 4});
        QCOMPARE(board.state().CurrentRow, GuessRows + 1);
        BoardWindow::click(board.palette(1));
        const Snapshot before(board);
        for (int i = 0; i < 100; ++i) {
            const int code = i % ColorCount + 1;
            BoardWindow::click(board.palette(code));
            BoardWindow::click(board.hole(i % Columns + 1, i % (GuessRows + 1)));
        }
        BoardWindow::click(board.palette(1));
        QVERIFY(Snapshot(board) == before);
    }

    void clicksElsewhereChangeNothing_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("feedback box") << QStringLiteral("Picture1(0)");
        QTest::newRow("figure") << QStringLiteral("Image1");
        QTest::newRow("message") << QStringLiteral("lblMessage");
        QTest::newRow("arrow") << QStringLiteral("imgInd(2)");
    }
    void clicksElsewhereChangeNothing() {
        QFETCH(QString, control);
        BoardWindow board;
        BoardWindow::click(board.palette(2));
        BoardWindow::click(board.hole(1, 1));
        const Snapshot before(board);
        BoardWindow::click(board.window->findChild<QWidget*>(control));
        BoardWindow::click(board.window->centralWidget());
        QVERIFY(Snapshot(board) == before);
    }
};

QTEST_MAIN(GuessClicksTest)
#include "tst_guessclicks.moc"
