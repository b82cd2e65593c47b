#pragma once

#include "ControlArray.h"
#include "Picture.h"
#include "game/Board.h"
#include "game/BoardSize.h"
#include "game/Game.h"

#include <QMainWindow>
#include <QMessageBox>
#include <array>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace korvanda {

class AccessibleBoard;
class PictureBox;
class RandomSource;
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
    PictureBox*& Slot(int column, int row) {
        return slots_[static_cast<std::size_t>(column - 1)](row);
    }
    PictureBox* Slot(int column, int row) const {
        return slots_[static_cast<std::size_t>(column - 1)](row);
    }

    std::unique_ptr<RandomSource> random_;
    Game game_;

    // Templates: the pictures and colours that the board's controls are given.
    ControlArray<SharedPicture, 1, ColorCount> PicC;
    SharedPicture PicS;
    MarkTemplate PicDef;
    MarkTemplate PicDefb;
    MarkTemplate Picdefw;

    // Column c's holes, rows 0 (answer) to 8.
    std::array<ControlArray<PictureBox*, AnswerRow, GuessRows>, Columns> slots_;
    ControlArray<PictureBox*, 0, FeedbackBoxes - 1> Picture1;
    // The palette pegs PicR, PicY, PicG and PicB by colour code, and their arrows.
    ControlArray<PictureBox*, 1, ColorCount> palette_;
    ControlArray<PictureBox*, 1, ColorCount> imgInd;
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
