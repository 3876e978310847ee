#include "KeyFilters.h"

#include <QLineEdit>

namespace tv {

bool IsForbiddenFileNameChar(QChar c) {
    switch (c.unicode()) {
    case 0:
    case 34:  // "
    case 42:  // *
    case 47:  // /
    case 58:  // :
    case 60:  // <
    case 62:  // >
    case 63:  // ?
    case 92:  // backslash
    case 124: // |
        return true;
    default:
        return false;
    }
}

QValidator::State NumericKeyFilter::validate(QString &input, int &) const {
    for (qsizetype i = 0; i < input.size(); ++i) {
        const QChar c = input.at(i);
        if (c.isDigit() && c.unicode() < 128)
            continue;
        if (c == QLatin1Char('-') && i == 0)
            continue;
        return Invalid;
    }
    return Acceptable;
}

QValidator::State FileNameKeyFilter::validate(QString &input, int &) const {
    for (const QChar c : input) {
        if (IsForbiddenFileNameChar(c))
            return Invalid;
    }
    return Acceptable;
}

void InstallNumericKeyFilter(QLineEdit *box) { box->setValidator(new NumericKeyFilter(box)); }

void InstallFileNameKeyFilter(QLineEdit *box) { box->setValidator(new FileNameKeyFilter(box)); }

} // namespace tv
