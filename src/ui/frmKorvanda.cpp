#include "frmKorvanda.h"

#include "AccessibleBoard.h"
#include "BoardSurface.h"
#include "Geometry.h"
#include "HelpTexts.h"
#include "PictureBox.h"
#include "RevealBox.h"
#include "WindowColors.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <utility>

namespace korvanda {

namespace {

// The message label's size: with the faces below, every message line stays inside the label.
constexpr qreal MessagePointSize = 8.25;
constexpr qreal PointsPerInch = 72;
constexpr qreal PixelsPerInch = 96;

// The art and the palette peg of each colour code.
struct PegInfo {
    const char* art;
    const char* paletteName;
};
constexpr std::array<PegInfo, ColorCount> Pegs{{{":/pictures/peg-red.png", "PicR"},
                                                {":/pictures/peg-yellow.png", "PicY"},
                                                {":/pictures/peg-green.png", "PicG"},
                                                {":/pictures/peg-blue.png", "PicB"}}};

const PegInfo& peg(int code) {
    return Pegs.at(static_cast<std::size_t>(code - 1));
}

QString indexed(const QString& name, int index) {
    return name + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

QString displayText(std::string_view text) {
    QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    return shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

void setColors(QWidget* widget, QPalette::ColorRole back, QColor backColor,
               QPalette::ColorRole text, QColor textColor) {
    QPalette palette = widget->palette();
    palette.setColor(back, backColor);
    palette.setColor(text, textColor);
    widget->setPalette(palette);
}

// The lines of a message box's text are broken where they should be; a box narrower than
// the longest line would break them again.
void keepLines(QMessageBox& box) {
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        label->setMinimumWidth(label->fontMetrics().size(0, label->text()).width());
}

} // namespace

frmKorvanda::frmKorvanda(std::unique_ptr<RandomSource> random) : game_(*this, std::move(random)) {
    // On Windows the fixed-size hint gives the thin frame without a sizing border, so that
    // neither the edges nor the system menu offer to resize; other platforms ignore it.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral(" Korvanda"));
    QIcon icon;
    for (const int size : {16, 32})
        icon.addFile(QStringLiteral(":/icons/korvanda-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);

    createControls();
    createMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    new WindowPlacement(this);

    Form_Load();
}

frmKorvanda::~frmKorvanda() = default;

void frmKorvanda::createControls() {
    using namespace geometry;
    auto* surface = new BoardSurface(this);
    setCentralWidget(surface);

    // Command1 and the reveal box come first in the tab order, so they are created first.
    Command1 = new QPushButton(QStringLiteral("Command1"), surface);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(Command1Rect);

    txtcheat = new RevealBox(surface, RevealBoxRect);
    txtcheat->setObjectName(QStringLiteral("txtcheat"));
    txtcheat->setAccessibleName(QStringLiteral("Reveal code"));
    setColors(txtcheat, QPalette::Base, colors::Back, QPalette::Text, colors::Ink);
    connect(txtcheat, &QLineEdit::textChanged, this, &frmKorvanda::txtcheat_Change);

    for (int code = 1; code <= ColorCount; ++code)
        PicC(code) = makePicture(QLatin1String(peg(code).art));
    PicS = makePicture(QStringLiteral(":/pictures/hole-empty.png"));
    PicDef = {makePicture(QStringLiteral(":/pictures/mark-blank.png")), {}};
    PicDefb = {makePicture(QStringLiteral(":/pictures/mark-black.png")), colors::BlackMarkBack};
    Picdefw = {makePicture(QStringLiteral(":/pictures/mark-white.png")), colors::WhiteMarkBack};

    for (int c = 1; c <= Columns; ++c) {
        for (int row = AnswerRow; row <= GuessRows; ++row) {
            auto* hole = new PictureBox(surface, holeRect(c, row), PictureBox::Frame::None);
            hole->setObjectName(indexed(QLatin1String("Slot") + QString::number(c), row));
            hole->setPicture(PicS);
            connect(hole, &PictureBox::clicked, this, [this, c, row] { Slot_Click(c, row); });
            Slot(c, row) = hole;
        }
        Slot(c, AnswerRow)->hide();
    }

    for (int box = 0; box < FeedbackBoxes; ++box) {
        Picture1(box) =
            new PictureBox(surface, feedbackRect(box), PictureBox::Frame::Sunken, colors::Back);
        Picture1(box)->setObjectName(indexed(QLatin1String("Picture1"), box));
    }

    const auto arrow = makePicture(QStringLiteral(":/pictures/arrow.png"));
    for (int code = 1; code <= ColorCount; ++code) {
        auto* paletteCell = new PictureBox(surface, paletteRect(code), PictureBox::Frame::None);
        paletteCell->setObjectName(QLatin1String(peg(code).paletteName));
        paletteCell->setPicture(makePicture(QLatin1String(peg(code).art)));
        connect(paletteCell, &PictureBox::clicked, this, [this, code] { Palette_Click(code); });
        palette_(code) = paletteCell;

        imgInd(code) = new PictureBox(surface, arrowRect(code), PictureBox::Frame::None);
        imgInd(code)->setObjectName(indexed(QLatin1String("imgInd"), code));
        imgInd(code)->setPicture(arrow);
        imgInd(code)->setAccessibleName(QStringLiteral("Selection arrow"));
    }

    Image1 = new PictureBox(surface, FigureRect, PictureBox::Frame::None);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPicture(makePicture(QStringLiteral(":/pictures/figure.png")));
    Image1->setAccessibleName(QStringLiteral("A standing man"));

    lblMessage = new QLabel(surface);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setGeometry(MessageRect);
    lblMessage->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblMessage->setAutoFillBackground(true);
    setColors(lblMessage, QPalette::Window, colors::MessageBack, QPalette::WindowText,
              colors::MessageText);
    QFont messageFont;
    // Two faces with the same widths, with which every message line fits its label: Linux
    // desktops have the first, every Windows the second.
    messageFont.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    messageFont.setPixelSize(qRound(MessagePointSize * PixelsPerInch / PointsPerInch));
    messageFont.setBold(true);
    lblMessage->setFont(messageFont);

    lblAnswer = new QLabel(QStringLiteral("Answer:"), surface);
    lblAnswer->setObjectName(QStringLiteral("lblAnswer"));
    lblAnswer->setGeometry(AnswerLabelRect);
    lblAnswer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblAnswer->setAutoFillBackground(true);
    setColors(lblAnswer, QPalette::Window, colors::Back, QPalette::WindowText, colors::Ink);
    lblAnswer->hide();

    Command1->setFocus();
    accessible_ = std::make_unique<AccessibleBoard>(
        AccessibleBoard::Controls{slots_, Picture1, palette_, imgInd, lblMessage, txtcheat},
        AccessibleBoard::Pictures{PicC, PicDefb.picture, Picdefw.picture});
}

void frmKorvanda::createMenus() {
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuNew = mnuFile->addAction(QStringLiteral("&New Game"), this, &frmKorvanda::mnuNew_Click);
    mnuNew->setObjectName(QStringLiteral("mnuNew"));
    mnuNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuExit = mnuFile->addAction(QStringLiteral("E&xit"), this, &frmKorvanda::mnuExit_Click);
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuRules = mnuHelp->addAction(QStringLiteral("&How to Play Korvanda"), this,
                                  &frmKorvanda::mnuRules_Click);
    mnuRules->setObjectName(QStringLiteral("mnuRules"));
    mnuRules->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    mnuAbout =
        mnuHelp->addAction(QStringLiteral("&About Korvanda"), this, &frmKorvanda::mnuAbout_Click);
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    mnuAbout->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));

    QList<QKeySequence> shortcuts;
    for (const QAction* action : {mnuNew, mnuExit, mnuRules, mnuAbout})
        shortcuts.append(action->shortcut());
    txtcheat->reserveShortcuts(std::move(shortcuts));
}

void frmKorvanda::showPeg(int column, int row, Color color) {
    Slot(column, row)->setPicture(PicC(code(color)));
}

void frmKorvanda::showEmptyHole(int column, int row) {
    Slot(column, row)->setPicture(PicS);
}

PictureId frmKorvanda::holePicture(int column, int row) const {
    return PictureId{reinterpret_cast<std::uintptr_t>(Slot(column, row)->picture().get())};
}

void frmKorvanda::setAnswerHoleVisible(int column, bool visible) {
    Slot(column, AnswerRow)->setVisible(visible);
}

void frmKorvanda::setAnswerLabelVisible(bool visible) {
    lblAnswer->setVisible(visible);
}

void frmKorvanda::setIndicatorVisible(Color color, bool visible) {
    imgInd(code(color))->setVisible(visible);
}

void frmKorvanda::showMark(int box, Mark mark) {
    PictureBox* target = Picture1(box);
    switch (mark) {
    case Mark::Blank:
        target->setPicture(PicDef.picture);
        break;
    case Mark::Black:
        target->setBackColor(PicDefb.backColor);
        target->setPicture(PicDefb.picture);
        break;
    case Mark::White:
        target->setBackColor(Picdefw.backColor);
        target->setPicture(Picdefw.picture);
        break;
    }
}

void frmKorvanda::setMessage(std::string_view text) {
    lblMessage->setText(displayText(text));
}

void frmKorvanda::Form_Load() {
    game_.NewGame();
    accessible_->update();
}

void frmKorvanda::Palette_Click(int code) {
    game_.ChooseColor(colorFromCode(code));
    accessible_->update(palette_(code));
}

void frmKorvanda::Slot_Click(int column, int index) {
    // The peg goes into the current row, whichever row's hole was pressed.
    const int row = game_.state().CurrentRow;
    game_.ClickHole(column);
    accessible_->update(Slot(column, index), game_.state().CurrentRow != row ? row : 0);
}

void frmKorvanda::txtcheat_Change() {
    // A text of another length is told apart without reading it, so a huge paste is cheap.
    const bool reveal = txtcheat->text() == QLatin1String(RevealCode);
    if (reveal)
        setAnswerLabelVisible(true);
    for (int c = 1; c <= Columns; ++c)
        setAnswerHoleVisible(c, reveal);
    if (!reveal)
        setAnswerLabelVisible(false);
    accessible_->update();
}

void frmKorvanda::mnuNew_Click() {
    Form_Load();
}

void frmKorvanda::mnuExit_Click() {
    close();
}

void frmKorvanda::mnuRules_Click() {
    showMessageBox(help::RulesTitle, help::RulesText, QMessageBox::Information);
}

void frmKorvanda::mnuAbout_Click() {
    showMessageBox(help::AboutTitle, help::AboutText, QMessageBox::NoIcon);
}

void frmKorvanda::showMessageBox(const char* title, const char* text, QMessageBox::Icon icon) {
#ifdef Q_OS_WASM
    // A page has no nested event loop to wait in: the box is shown modal, the handler
    // returns at once, and the box goes when it is closed. Application-modal, the same as
    // window-modal for the one window: a click on a window that a window-modal box blocks
    // sends Qt 6.4's page compositor into endless recursion.
    auto* box =
        new QMessageBox(icon, QLatin1String(title), displayText(text), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    // No window manager gives the board back the keys when the box goes: the board takes them.
    connect(box, &QDialog::finished, this, &QWidget::activateWindow);
    keepLines(*box);
    box->show();
#else
    QMessageBox box(icon, QLatin1String(title), displayText(text), QMessageBox::Ok, this);
    keepLines(box);
    box.exec();
#endif
}

} // namespace korvanda
