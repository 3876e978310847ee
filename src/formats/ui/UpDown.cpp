#include "UpDown.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>

namespace tv {

UpDown::UpDown(QWidget *parent) : QSpinBox(parent) {
    // The number box beside it shows and takes the number; the arrows alone are this control.
    lineEdit()->hide();
    lineEdit()->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::NoFocus);
    setMinimum(0);
    setMaximum(0);
    setAccelerated(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize UpDown::sizeHint() const {
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QRect up = style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this);
    const int height = QSpinBox::sizeHint().height();
    return {std::max(18, up.width() + 4), height};
}

QSize UpDown::minimumSizeHint() const {
    return sizeHint();
}

} // namespace tv
