#include "PictureBoxAccessible.h"

#include "PictureBox.h"

#include <QApplication>

namespace korvanda {

namespace {

QAccessibleInterface* describe(const QString& className, QObject* object) {
    if (className != QLatin1String(PictureBox::staticMetaObject.className()))
        return nullptr;
    return new PictureBoxAccessible(static_cast<PictureBox*>(object));
}

} // namespace

PictureBoxAccessible::PictureBoxAccessible(PictureBox* box) : QAccessibleWidget(box) {}

void PictureBoxAccessible::installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(&describe);
        return true;
    }();
    Q_UNUSED(installed);
}

PictureBox* PictureBoxAccessible::box() const {
    return static_cast<PictureBox*>(widget());
}

bool PictureBoxAccessible::pressable() const {
    // An open message box blocks the board's clicks, and so its presses.
    const QWidget* modal = QApplication::activeModalWidget();
    return box()->handlesClicks() && !box()->isHidden() && (!modal || modal == box()->window());
}

QAccessible::Role PictureBoxAccessible::role() const {
    return box()->handlesClicks() ? QAccessible::Button : QAccessible::Graphic;
}

QStringList PictureBoxAccessible::actionNames() const {
    if (!pressable())
        return {};
    return {pressAction()};
}

void PictureBoxAccessible::doAction(const QString& actionName) {
    if (actionName == pressAction() && pressable())
        box()->click();
}

} // namespace korvanda
