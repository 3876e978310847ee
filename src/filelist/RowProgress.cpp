#include "RowProgress.h"

#include <cmath>

namespace tv {

RowProgressCell RowProgressGeometry(int left, int top, int right, int bottom, int percent) {
    RowProgressCell cell;
    cell.width = right - left + 2;
    cell.height = bottom - top - 2;
    cell.bar = static_cast<int>(std::trunc(percent / 100.0 * cell.width));
    cell.percent = percent;
    return cell;
}

QString RowProgressMarkup(const RowProgressCell &cell) {
    const QString h = QString::number(cell.height);
    const QString b = QString::number(cell.bar);
    const QString p = QString::number(cell.percent);
    return QStringLiteral("<Border Padding='") + QStringLiteral("0") + QStringLiteral("' Height='") + h +
           QStringLiteral("' BorderThickness='") + QStringLiteral("0") +
           QStringLiteral("'BorderBrush='#ebebeb'>") + QStringLiteral("<Border Width='") + b +
           QStringLiteral("' BorderBrush='#007AFF' BorderThickness='") + QStringLiteral("0") +
           QStringLiteral("' HorizontalAlignment='Left' VerticalAlignment='Center'>") +
           QStringLiteral("<Border.Background>") +
           QStringLiteral("<LinearGradientBrush StartPoint='0,0' EndPoint='1,0'>") +
           QStringLiteral("<GradientStop Color='#007AFF' Offset='0'/>") +
           QStringLiteral("<GradientStop Color='#007AFF' Offset='1'/>") +
           QStringLiteral("</LinearGradientBrush>") + QStringLiteral("</Border.Background>") +
           QStringLiteral(
               "<TextBlock FontWeight='Bold' VerticalAlignment='Center' HorizontalAlignment='Center' "
               "Foreground='White'>") +
           p + QStringLiteral("%</TextBlock>") + QStringLiteral("</Border>") + QStringLiteral("</Border>");
}

} // namespace tv
