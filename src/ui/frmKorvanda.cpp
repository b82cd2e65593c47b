#include "frmKorvanda.h"

#include "BoardSurface.h"
#include "HelpTexts.h"
#include "Layout.h"
#include "PictureBox.h"
#include "RevealBox.h"
#include "WindowPlacement.h"
#include "game/RandomSource.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <utility>

namespace korvanda {

namespace {

// The message label's face: a bold sans whose widths keep every message line inside
// the label at 8.25 point.
constexpr char MessageFontFamily[] = "Liberation Sans";
constexpr qreal MessagePointSize = 8.25;
constexpr qreal PointsPerInch = 72;
constexpr qreal PixelsPerInch = 96;
constexpr QColor MessageBackColor{0, 0, 0};
constexpr QColor MessageTextColor{0, 192, 0};
constexpr QColor TextColor{0, 0, 0};

// The art and the palette peg of each colour code.
struct PegInfo {
    const char* art;
    const char* paletteName;
    const char* name;
};
constexpr std::array<PegInfo, ColorCount> Pegs{{{":/pictures/peg-red.png", "PicR", "Red"},
                                                {":/pictures/peg-yellow.png", "PicY", "Yellow"},
                                                {":/pictures/peg-green.png", "PicG", "Green"},
                                                {":/pictures/peg-blue.png", "PicB", "Blue"}}};

const PegInfo& peg(int code) {
    return Pegs.at(static_cast<std::size_t>(code - 1));
}

QString indexed(const QString& name, int index) {
    return name + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

// Gives a name only when it changes, so that an assistive tool hears of real changes.
void rename(QWidget* widget, const QString& name) {
    if (widget->accessibleName() != name)
        widget->setAccessibleName(name);
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

} // namespace

frmKorvanda::frmKorvanda(std::unique_ptr<RandomSource> random)
    : random_(std::move(random)), game_(*this, *random_) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
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

    accessibilityActive_ = QAccessible::isActive();
    QAccessible::installActivationObserver(this);
    Form_Load();
}

frmKorvanda::~frmKorvanda() {
    QAccessible::removeActivationObserver(this);
}

void frmKorvanda::createControls() {
    using namespace layout;
    auto* surface = new BoardSurface(this);
    setCentralWidget(surface);

    // Command1 and the reveal box come first in the tab order, so they are created first.
    Command1 = new QPushButton(QStringLiteral("Command1"), surface);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(Command1Rect);

    txtcheat = new RevealBox(surface, RevealBoxRect);
    txtcheat->setObjectName(QStringLiteral("txtcheat"));
    txtcheat->setAccessibleName(QStringLiteral("Reveal code"));
    setColors(txtcheat, QPalette::Base, BoardSurface::BackColor, QPalette::Text, TextColor);
    connect(txtcheat, &QLineEdit::textChanged, this, &frmKorvanda::txtcheat_Change);

    for (int code = 1; code <= ColorCount; ++code)
        PicC(code) = makePicture(QLatin1String(peg(code).art));
    PicS = makePicture(QStringLiteral(":/pictures/hole-empty.png"));
    PicDef = {makePicture(QStringLiteral(":/pictures/mark-blank.png")), {}};
    PicDefb = {makePicture(QStringLiteral(":/pictures/mark-black.png")), QColor(0, 0, 0)};
    Picdefw = {makePicture(QStringLiteral(":/pictures/mark-white.png")), QColor(255, 255, 255)};

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
        Picture1(box) = new PictureBox(surface, feedbackRect(box), PictureBox::Frame::Sunken,
                                       BoardSurface::BackColor);
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
    setColors(lblMessage, QPalette::Window, MessageBackColor, QPalette::WindowText,
              MessageTextColor);
    QFont messageFont{QLatin1String(MessageFontFamily)};
    messageFont.setPixelSize(qRound(MessagePointSize * PixelsPerInch / PointsPerInch));
    messageFont.setBold(true);
    lblMessage->setFont(messageFont);

    lblAnswer = new QLabel(QStringLiteral("Answer:"), surface);
    lblAnswer->setObjectName(QStringLiteral("lblAnswer"));
    lblAnswer->setGeometry(AnswerLabelRect);
    lblAnswer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblAnswer->setAutoFillBackground(true);
    setColors(lblAnswer, QPalette::Window, BoardSurface::BackColor, QPalette::WindowText,
              TextColor);
    lblAnswer->hide();

    Command1->setFocus();
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

void frmKorvanda::accessibilityActiveChanged(bool active) {
    accessibilityActive_ = active;
    nameControls();
}

void frmKorvanda::nameControls() {
    if (!accessibilityActive_)
        return;
    for (int c = 1; c <= Columns; ++c) {
        for (int row = AnswerRow; row <= GuessRows; ++row) {
            PictureBox* hole = Slot(c, row);
            QString content = QStringLiteral("empty");
            for (int k = 1; k <= ColorCount; ++k)
                if (hole->picture() == PicC(k))
                    content = QString::fromLatin1(peg(k).name).toLower();
            if (row == AnswerRow)
                // A hidden answer is not told either.
                rename(hole, QStringLiteral("Answer, column %1: %2")
                                 .arg(c)
                                 .arg(hole->isHidden() ? QStringLiteral("hidden") : content));
            else
                rename(hole, QStringLiteral("Row %1, column %2: %3").arg(row).arg(c).arg(content));
        }
    }
    for (int row = 1; row <= GuessRows; ++row) {
        int black = 0;
        int white = 0;
        const int first = (row - 1) * BoxesPerRow;
        for (int box = first; box < first + BoxesPerRow; ++box) {
            black += Picture1(box)->picture() == PicDefb.picture ? 1 : 0;
            white += Picture1(box)->picture() == Picdefw.picture ? 1 : 0;
        }
        const QString name =
            QStringLiteral("Row %1: %2 black, %3 white").arg(row).arg(black).arg(white);
        for (int box = first; box < first + BoxesPerRow; ++box)
            rename(Picture1(box), name);
    }
    for (int code = 1; code <= ColorCount; ++code) {
        const QString name = QStringLiteral("%1 peg").arg(QLatin1String(peg(code).name));
        rename(palette_(code),
               imgInd(code)->isHidden() ? name : name + QStringLiteral(", selected"));
    }
    rename(lblMessage, lblMessage->text().replace(QLatin1Char('\n'), QLatin1Char(' ')));
}

void frmKorvanda::Form_Load() {
    game_.NewGame();
    nameControls();
}

void frmKorvanda::Palette_Click(int code) {
    game_.ChooseColor(colorFromCode(code));
    nameControls();
}

void frmKorvanda::Slot_Click(int column, int /*index: the peg goes into the current row*/) {
    game_.ClickHole(column);
    nameControls();
}

void frmKorvanda::txtcheat_Change() {
    // Comparing lengths first keeps a huge paste cheap.
    const bool reveal = txtcheat->text() == QLatin1String(RevealCode);
    if (reveal)
        setAnswerLabelVisible(true);
    for (int c = 1; c <= Columns; ++c)
        setAnswerHoleVisible(c, reveal);
    if (!reveal)
        setAnswerLabelVisible(false);
    nameControls();
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
    QMessageBox box(icon, QLatin1String(title), displayText(text), QMessageBox::Ok, this);
    // The lines are broken where they should be; a box narrower than the longest line
    // would break them again.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        label->setMinimumWidth(label->fontMetrics().size(0, label->text()).width());
    box.exec();
}

} // namespace korvanda
