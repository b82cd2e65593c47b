#pragma once

#include "PictureBox.h"
#include "game/Board.h"
#include "game/Game.h"

#include <QMainWindow>
#include <QMessageBox>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace korvanda {

class AccessibleBoard;
class RevealBox;

// The board window: the board, the palette, the message and the reveal box, with the
// menus. It shows the game and forwards the player's clicks to it.
class frmKorvanda : public QMainWindow, private Board {
    Q_OBJECT

public:
    static constexpr char RevealCode[] = "tiv33vit";

    explicit frmKorvanda(std::unique_ptr<RandomSource> random);
    ~frmKorvanda() override;

    const Game& game() const { return game_; }
    // The peg template of a colour code, 1 to 4: every hole showing that colour holds it.
    const SharedPicture& pegPicture(int code) const { return PicC(code); }

private:
    struct MarkTemplate {
        SharedPicture picture;
        QColor backColor;
    };

    void createControls();
    void createMenus();

    // Board
    void showPeg(int column, int row, Color color) override;
    void showEmptyHole(int column, int row) override;
    PictureId holePicture(int column, int row) const override;
    void setAnswerHoleVisible(int column, bool visible) override;
    void setAnswerLabelVisible(bool visible) override;
    void setIndicatorVisible(Color color, bool visible) override;
    void showMark(int box, Mark mark) override;
    void setMessage(std::string_view text) override;

    // Event handlers.
    void Form_Load();
    void Palette_Click(int code);
    void Slot_Click(int column, int index);
    void txtcheat_Change();
    void mnuNew_Click();
    void mnuExit_Click();
    void mnuRules_Click();
    void mnuAbout_Click();

    void showMessageBox(const char* title, const char* text, QMessageBox::Icon icon);
    PictureBox*& Slot(int column, int row) { return slots_(column)(row); }
    PictureBox* Slot(int column, int row) const { return slots_(column)(row); }

    Game game_;

    // Templates: the pictures and colours that the board's controls are given.
    ControlArray<SharedPicture, 1, ColorCount> PicC;
    SharedPicture PicS;
    MarkTemplate PicDef;
    MarkTemplate PicDefb;
    MarkTemplate Picdefw;

    HoleArray slots_;
    MarkBoxArray Picture1;
    // The palette pegs PicR, PicY, PicG and PicB by colour code, and their arrows.
    ColorBoxArray palette_;
    ColorBoxArray imgInd;
    PictureBox* Image1 = nullptr;
    QLabel* lblMessage = nullptr;
    QLabel* lblAnswer = nullptr;
    RevealBox* txtcheat = nullptr;
    QPushButton* Command1 = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuRules = nullptr;
    QAction* mnuAbout = nullptr;

    // Tab stops, names and what a press changed, for assistive tools.
    std::unique_ptr<AccessibleBoard> accessible_;
};

} // namespace korvanda
