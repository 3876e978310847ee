// Typing into file-name and number boxes.
#include "KeyFilters.h"
#include "TestEnv.h"
#include "WindowDriver.h"

#include <QLineEdit>

using namespace tv;
using tv::test::TypeKeys;

class KeyFiltersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileNameBoxDropsForbiddenCharactersAndRefusesAPastedPath() {
        QLineEdit box;
        InstallFileNameKeyFilter(&box);
        box.show();
        TypeKeys(&box, QStringLiteral("my\"so*ng/:<>?\\|.mp3 é日"));
        QCOMPARE(box.text(), QStringLiteral("mysong.mp3 é日"));
        box.selectAll();
        box.insert("../../etc/passwd");
        QCOMPARE(box.text(), QStringLiteral("mysong.mp3 é日"));
    }

    void numericBoxTakesDigitsAndOneLeadingMinus() {
        QLineEdit box;
        InstallNumericKeyFilter(&box);
        box.show();
        TypeKeys(&box, QStringLiteral("-1a2-3.4"));
        QCOMPARE(box.text(), QStringLiteral("-1234"));
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.text(), QStringLiteral("-123"));
        box.clear();
        TypeKeys(&box, QStringLiteral("١٢")); // non-ASCII digits are not numbers here
        QCOMPARE(box.text(), QString());
    }
};

TV_TEST_MAIN(KeyFiltersTest)
#include "tst_keyfilters.moc"
