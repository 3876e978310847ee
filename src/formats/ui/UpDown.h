#pragma once
// A spin control without a text of its own: two arrows beside a number box ("buddy") that
// step its value between 0 and a maximum.

#include <QSpinBox>

namespace tv {

class UpDown : public QSpinBox {
    Q_OBJECT
public:
    explicit UpDown(QWidget *parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};

} // namespace tv
