#pragma once
// Key filters of the text boxes: a numeric one (digits and one leading "-") and a file-name one
// that keeps out the characters a file name cannot hold: " * / : < > ? \ |.

#include <QValidator>

class QLineEdit;

namespace tv {

// True when the character may not be typed into a file-name box.
bool IsForbiddenFileNameChar(QChar c);

class NumericKeyFilter : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

class FileNameKeyFilter : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

void InstallNumericKeyFilter(QLineEdit *box);
void InstallFileNameKeyFilter(QLineEdit *box);

} // namespace tv
