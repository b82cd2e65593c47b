#include "PictureBox.h"

#include "Geometry.h"
#include "PictureBoxAccessible.h"
#include "SunkenFrame.h"

#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <utility>

namespace korvanda {

PictureBox::PictureBox(QWidget* parent, const QRect& geometry, Frame frame, QColor backColor)
    : QWidget(parent), backColor_(backColor), frame_(frame) {
    PictureBoxAccessible::installFactory();
    setGeometry(geometry);
    if (backColor_.isValid())
        setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::click() {
    emit clicked();
}

bool PictureBox::handlesClicks() const {
    return isSignalConnected(QMetaMethod::fromSignal(&PictureBox::clicked));
}

void PictureBox::setPicture(SharedPicture picture) {
    if (picture == picture_)
        return;
    picture_ = std::move(picture);
    update();
}

void PictureBox::setBackColor(QColor color) {
    if (color == backColor_)
        return;
    backColor_ = color;
    update();
}

QRect PictureBox::innerRect() const {
    const int inset = frame_ == Frame::Sunken ? geometry::FrameWidth : 0;
    return rect().adjusted(inset, inset, -inset, -inset);
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect inner = innerRect();
    if (frame_ == Frame::Sunken)
        paintSunkenFrame(painter, rect());
    if (backColor_.isValid())
        painter.fillRect(inner, backColor_);
    if (picture_) {
        painter.setClipRect(inner);
        painter.drawPixmap(inner.topLeft(), picture_->pixmap(devicePixelRatioF()));
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool released = pressed_ && event->button() == Qt::LeftButton &&
                          rect().contains(event->position().toPoint());
    pressed_ = false;
    if (released)
        click();
}

} // namespace korvanda
