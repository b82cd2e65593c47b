#pragma once

#include <QAccessibleObject>
#include <QString>

class QWidget;

namespace korvanda {

// An unseen notification that a screen reader speaks when it is shown: how what a press
// changed reaches Orca from Qt before 6.8. Qt 6.4's AT-SPI bridge sends a name or
// description change with the object's path where the new text belongs, and Orca drops it;
// a notification that is shown Orca reads whole, by its name. The notice has no widget, so
// nothing changes on screen; it stands on an object of its own that the window owns, and
// goes with it.
class SpokenNotice : public QAccessibleObject {
public:
    // Shows the window's notice anew with this text, so that it is spoken once.
    static void tell(QWidget* window, const QString& text);

    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QString text(QAccessible::Text kind) const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;

private:
    explicit SpokenNotice(QObject* anchor);

    QString text_;
};

} // namespace korvanda
