// Typing into file-name and number boxes.
#include "KeyFilters.h"
#include "TestEnv.h"

#include <QLineEdit>

using namespace tv;

namespace {
// Types any text key by key, non-Latin letters included.
void Type(QWidget *widget, const QString &text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}
} // namespace

class KeyFiltersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileNameBoxDropsForbiddenCharacters() {
        QLineEdit box;
        InstallFileNameKeyFilter(&box);
        box.show();
        Type(&box, QStringLiteral("my\"so*ng/:<>?\\|.mp3 é日"));
        QCOMPARE(box.text(), QStringLiteral("mysong.mp3 é日"));
    }

    void fileNameBoxRefusesAPastedPath() {
        QLineEdit box;
        InstallFileNameKeyFilter(&box);
        box.setText("name");
        box.selectAll();
        box.insert("../../etc/passwd");
        QCOMPARE(box.text(), QStringLiteral("name"));
    }

    void numericBoxTakesDigitsAndOneLeadingMinus() {
        QLineEdit box;
        InstallNumericKeyFilter(&box);
        box.show();
        Type(&box, QStringLiteral("-1a2-3.4"));
        QCOMPARE(box.text(), QStringLiteral("-1234"));
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.text(), QStringLiteral("-123"));
        box.clear();
        Type(&box, QStringLiteral("١٢")); // non-ASCII digits are not numbers here
        QCOMPARE(box.text(), QString());
    }
};

TV_TEST_MAIN(KeyFiltersTest)
#include "tst_keyfilters.moc"
