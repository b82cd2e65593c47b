#pragma once

#include <QAccessibleWidget>

namespace korvanda {

class PictureBox;

// What an assistive tool finds in a picture box. A box whose click the game handles is a
// button with one action, press, which raises that very click; while the box is hidden
// it offers nothing, as it takes no clicks. Any other box is a picture with no action.
class PictureBoxAccessible : public QAccessibleWidget {
public:
    explicit PictureBoxAccessible(PictureBox* box);

    // Has Qt describe every picture box through this class. Safe to call any number of
    // times; it must run before the first picture box exists.
    static void installFactory();

    QAccessible::Role role() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    PictureBox* box() const;
    bool pressable() const;
};

} // namespace korvanda
