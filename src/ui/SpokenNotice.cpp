#include "SpokenNotice.h"

#include <QWidget>

namespace korvanda {

namespace {

constexpr char AnchorName[] = "spokenNotice";

} // namespace

SpokenNotice::SpokenNotice(QObject* anchor) : QAccessibleObject(anchor) {}

void SpokenNotice::tell(QWidget* window, const QString& text) {
    auto* anchor =
        window->findChild<QObject*>(QLatin1String(AnchorName), Qt::FindDirectChildrenOnly);
    SpokenNotice* notice = nullptr;
    if (anchor) {
        notice = static_cast<SpokenNotice*>(QAccessible::queryAccessibleInterface(anchor));
    } else {
        anchor = new QObject(window);
        anchor->setObjectName(QLatin1String(AnchorName));
        // Qt's registry owns the notice and deletes it with its anchor.
        notice = new SpokenNotice(anchor);
        QAccessible::registerAccessibleInterface(notice);
    }
    notice->text_ = text;
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

QAccessibleInterface* SpokenNotice::parent() const {
    return QAccessible::queryAccessibleInterface(object()->parent());
}

QAccessibleInterface* SpokenNotice::child(int) const {
    return nullptr;
}

int SpokenNotice::childCount() const {
    return 0;
}

int SpokenNotice::indexOfChild(const QAccessibleInterface*) const {
    return -1;
}

QString SpokenNotice::text(QAccessible::Text kind) const {
    return kind == QAccessible::Name ? text_ : QString();
}

QAccessible::Role SpokenNotice::role() const {
    return QAccessible::Notification;
}

QAccessible::State SpokenNotice::state() const {
    return {};
}

} // namespace korvanda
