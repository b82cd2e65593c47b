#include "GamePlay.h"

#include <QTest>

using namespace korvanda;

class GuessEntryTest : public QObject {
    Q_OBJECT

private slots:
    void choosingAColourShowsOnlyItsArrow_data() {
        QTest::addColumn<int>("code");
        for (int code = 1; code <= ColorCount; ++code)
            QTest::addRow("colour %d", code) << code;
    }
    void choosingAColourShowsOnlyItsArrow() {
        QFETCH(int, code);
        GamePlay play;
        for (const int before : {1, 2, 3, 4, code}) {
            play.game.ChooseColor(colorFromCode(before));
            play.game.ChooseColor(colorFromCode(code));
            QCOMPARE(play.game.state().SelectedColor, colorFromCode(code));
            for (int k = 1; k <= ColorCount; ++k)
                QCOMPARE(play.board.indicatorVisible[static_cast<std::size_t>(k - 1)], k == code);
        }
        for (int c = 1; c <= Columns; ++c)
            QVERIFY(!play.game.state().HoleFilled(c));
    }

    void aHoleClickBeforeAnyColourDoesNothing() {
        GamePlay play;
        const FakeBoard before = play.board;
        for (int c = 1; c <= Columns; ++c)
            play.game.ClickHole(c);
        QCOMPARE(play.board.holes, before.holes);
        for (int c = 1; c <= Columns; ++c)
            QVERIFY(!play.game.state().HoleFilled(c));
        QCOMPARE(play.game.state().CurrentRow, 1);
    }

    void aPegGoesIntoTheCurrentRow() {
        GamePlay play;
        play.game.ChooseColor(Color::Red);
        play.game.ClickHole(2);
        QCOMPARE(play.board.holePicture(2, 1), FakeBoard::peg(Color::Red));
        QCOMPARE(play.game.state().GuessColors(2), Color::Red);
        QVERIFY(play.game.state().HoleFilled(2));
        QCOMPARE(play.board.holePicture(2, GuessRows), FakeBoard::EmptyHole);
        QCOMPARE(play.board.holePicture(2, AnswerRow), FakeBoard::peg(Color::Yellow));
    }

    void refillingAColumnNeverScores() {
        GamePlay play;
        for (const Color color : {Color::Red, Color::Blue, Color::Green, Color::Yellow}) {
            play.game.ChooseColor(color);
            play.game.ClickHole(3);
        }
        QCOMPARE(play.game.state().CurrentRow, 1);
        QCOMPARE(play.board.holePicture(3, 1), FakeBoard::peg(Color::Yellow));
        QCOMPARE(play.game.state().GuessColors(3), Color::Yellow);
    }

    void theFourthColumnScoresWithTheColoursShown() {
        GamePlay play({1, 2, 3, 4});
        play.game.ChooseColor(Color::Blue);
        play.game.ClickHole(1);
        play.game.ClickHole(2);
        play.game.ClickHole(3);
        play.game.ChooseColor(Color::Red);
        play.game.ClickHole(1);
        QCOMPARE(play.board.holePicture(2, 1), FakeBoard::peg(Color::Blue));
        QCOMPARE(play.game.state().CurrentRow, 1);
        play.game.ClickHole(4);
        // Red, blue, blue, red against red, yellow, green, blue: 1 black, 1 white.
        QCOMPARE(play.marksOfRow(1), std::make_pair(1, 1));
        QCOMPARE(play.board.holePicture(4, 1), FakeBoard::peg(Color::Red));
        const GameState& s = play.game.state();
        QCOMPARE(s.CurrentRow, 2);
        for (int c = 1; c <= Columns; ++c)
            QVERIFY(!s.HoleFilled(c));
        QCOMPARE(s.SelectedColor, Color::Red);
        QCOMPARE(play.board.indicatorVisible, (std::array{true, false, false, false}));
    }

    void theColourSurvivesTheRow() {
        GamePlay play;
        play.game.ChooseColor(Color::Green);
        for (int c = 1; c <= Columns; ++c)
            play.game.ClickHole(c);
        play.game.ClickHole(1);
        QCOMPARE(play.board.holePicture(1, 2), FakeBoard::peg(Color::Green));
    }

    void afterTheEighthRowHoleClicksDoNothing() {
        GamePlay play({1, 1, 1, 1});
        for (int row = 1; row <= GuessRows; ++row)
            play.playRow({2, 2, 2, 2});
        const FakeBoard before = play.board;
        for (int i = 0; i < 100; ++i) {
            play.game.ChooseColor(colorFromCode(i % ColorCount + 1));
            play.game.ClickHole(i % Columns + 1);
        }
        const GameState& s = play.game.state();
        QCOMPARE(s.CurrentRow, GuessRows + 1);
        QCOMPARE(s.RowBase, GuessRows);
        for (int c = 1; c <= Columns; ++c)
            QVERIFY(!s.HoleFilled(c));
        QCOMPARE(play.board.holes, before.holes);
        QCOMPARE(play.board.marks, before.marks);
        QCOMPARE(play.board.message, before.message);
    }
};

QTEST_APPLESS_MAIN(GuessEntryTest)
#include "tst_guessentry.moc"
