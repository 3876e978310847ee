// Identifiers of user presets and temporary files.
#include "PresetIdentifier.h"
#include "TestEnv.h"

#include <QRegularExpression>
#include <QSet>

using namespace tv;

class PresetIdentifierTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shapeAndRanges() {
        static const QRegularExpression shape(QStringLiteral("^([0-9A-F]{2})([0-9]{5})([0-9A-F]{2})$"));
        QSet<QString> seen;
        for (int i = 0; i < 2000; ++i) {
            const QString id = NewPresetID();
            const auto m = shape.match(id);
            QVERIFY2(m.hasMatch(), qPrintable(id));
            const int b = m.captured(1).toInt(nullptr, 16);
            const int a = m.captured(2).toInt();
            const int c = m.captured(3).toInt(nullptr, 16);
            QVERIFY(b >= 20 && b <= 220);
            QVERIFY(c >= 20 && c <= 220);
            QVERIFY(a >= 1 && a <= 32701);
            seen.insert(id);
        }
        QVERIFY(seen.size() > 1990); // fresh names for thumbnails in practice
        QCOMPARE(QStringLiteral("User-").append(NewPresetID()).size(), 14);
    }
};

TV_TEST_MAIN_CORE(PresetIdentifierTest)
#include "tst_presetidentifier.moc"
