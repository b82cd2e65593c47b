#include "GamePlay.h"

#include <QTest>

using namespace korvanda;

using Codes = std::array<int, 4>;
using Marks = std::array<Mark, 4>;
Q_DECLARE_METATYPE(Codes)
Q_DECLARE_METATYPE(Marks)

namespace {

constexpr Codes Secret{1, 1, 2, 3};
// Guesses against Secret.
constexpr Codes Miss{4, 4, 4, 4};       // 0 black, 0 white
constexpr Codes Win{1, 1, 2, 3};        // 4 black
constexpr Codes OneTwo{1, 2, 1, 1};     // 1 black, 2 white
constexpr Codes ThreeWhite{2, 3, 1, 4}; // 0 black, 3 white
constexpr Codes TwoOne{1, 1, 3, 4};     // 2 black, 1 white

constexpr auto B = Mark::Black;
constexpr auto W = Mark::White;
constexpr auto _ = Mark::Blank;

Marks marksOfRow(const FakeBoard& board, int row) {
    Marks marks{};
    for (std::size_t k = 0; k < marks.size(); ++k)
        marks[k] = board.marks.at(static_cast<std::size_t>(row - 1) * BoxesPerRow + k);
    return marks;
}

} // namespace

class RowResultTest : public QObject {
    Q_OBJECT

private slots:
    void paintsBlackThenWhiteFromTheRowsFirstBox_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<Codes>("guess");
        QTest::addColumn<Marks>("marks");
        QTest::addColumn<int>("markStart");
        QTest::newRow("row 1, four black") << 1 << Win << Marks{B, B, B, B} << 0;
        QTest::newRow("row 3, one black two white") << 3 << OneTwo << Marks{B, W, W, _} << 9;
        QTest::newRow("row 2, three white") << 2 << ThreeWhite << Marks{W, W, W, _} << 4;
        QTest::newRow("row 8, two black one white") << 8 << TwoOne << Marks{B, B, W, _} << 30;
        QTest::newRow("row 8, nothing") << 8 << Miss << Marks{_, _, _, _} << 0;
    }
    void paintsBlackThenWhiteFromTheRowsFirstBox() {
        QFETCH(int, row);
        QFETCH(Codes, guess);
        QFETCH(Marks, marks);
        QFETCH(int, markStart);
        GamePlay play(Secret);
        for (int r = 1; r < row; ++r)
            play.playRow(Miss);
        play.playRow(guess);
        QCOMPARE(marksOfRow(play.board, row), marks);
        QCOMPARE(play.game.state().MarkStart, markStart);
        for (int other = 1; other <= GuessRows; ++other)
            if (other != row)
                QCOMPARE(marksOfRow(play.board, other), (Marks{_, _, _, _}));
    }

    void announcesTheEndOfTheGame_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<Codes>("guess");
        QTest::addColumn<QString>("message");
        const QString start = QString::fromLatin1(Game::StartMessage.data());
        const QString win = QStringLiteral("You guessed\r\nthe pattern!!!");
        const QString loss = QStringLiteral("Sorry, but you have\r\nrun out of guesses.");
        QTest::newRow("row 1 won") << 1 << Win << win;
        QTest::newRow("row 8 won: win, not loss") << 8 << Win << win;
        QTest::newRow("row 8 lost") << 8 << TwoOne << loss;
        QTest::newRow("row 8 lost without a mark") << 8 << Miss << loss;
        QTest::newRow("row 7 not decided") << 7 << TwoOne << start;
        QTest::newRow("row 3 not decided") << 3 << OneTwo << start;
    }
    void announcesTheEndOfTheGame() {
        QFETCH(int, row);
        QFETCH(Codes, guess);
        QFETCH(QString, message);
        GamePlay play(Secret);
        for (int r = 1; r < row; ++r)
            play.playRow(Miss);
        play.playRow(guess);
        QCOMPARE(QString::fromStdString(play.board.message), message);
        const bool decided = message != QString::fromLatin1(Game::StartMessage.data());
        QCOMPARE(play.board.answerShown(), decided);
        QCOMPARE(play.board.answerHidden(), !decided);
    }

    void resetsAndAdvancesAfterEveryRow() {
        GamePlay play(Secret);
        const std::array<Codes, 8> rows{Miss, OneTwo, ThreeWhite, Win, TwoOne, Win, Miss, TwoOne};
        for (int row = 1; row <= GuessRows; ++row) {
            play.playRow(rows[static_cast<std::size_t>(row - 1)]);
            const GameState& s = play.game.state();
            QCOMPARE(s.CurrentRow, row + 1);
            QCOMPARE(s.RowBase, row);
            QCOMPARE(s.BlackCount, 0);
            QCOMPARE(s.WhiteCount, 0);
            for (int p = 1; p <= Columns; ++p) {
                QVERIFY(!s.SecretUsed(p));
                QVERIFY(!s.GuessUsed(p));
                QVERIFY(!s.HoleFilled(p));
            }
        }
    }

    void playGoesOnAfterAWin() {
        GamePlay play(Secret);
        for (int r = 1; r < 5; ++r)
            play.playRow(Miss);
        play.playRow(Win);
        play.playRow(OneTwo);
        QCOMPARE(marksOfRow(play.board, 6), (Marks{B, W, W, _}));
        QCOMPARE(play.board.message, "You guessed\r\nthe pattern!!!");
        QCOMPARE(play.game.state().CurrentRow, 7);
        play.playRow(Miss);
        play.playRow(Miss);
        QCOMPARE(play.board.message, "Sorry, but you have\r\nrun out of guesses.");
    }
};

QTEST_APPLESS_MAIN(RowResultTest)
#include "tst_rowresult.moc"
