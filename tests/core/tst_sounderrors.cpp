// ShowSoundError: every code of the sound-control table has its text in a warning box under the
// program's title, codes outside it show nothing, and the code comes back unchanged.
#include "Config.h"
#include "MessageBox.h"
#include "SoundErrorBox.h"
#include "SoundErrors.h"
#include "TestEnv.h"
#include "WindowDriver.h"

using namespace tv;

class TestSoundErrors : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ReadConfiguration(); }

    void everyCodeOfTheTableIsShown() {
        test::MessageRecorder messages(AnsOk);
        QSet<QString> texts;
        for (int code = -1; code >= -186; --code) {
            QCOMPARE(ShowSoundError(code), code);
            QCOMPARE(messages.texts.size(), -code);
            QCOMPARE(messages.styles.constLast(), int(MsgExclamation));
            QVERIFY(messages.texts.constLast().startsWith(Config().productName + "|"));
            texts << messages.texts.constLast();
        }
        // Each code has a text of its own, in its place.
        QVERIFY(texts.size() >= 184);
        QCOMPARE(SoundErrorText(-186), QStringLiteral("The audio format is not supported!"));
        messages.clear();
        for (const int code : {0, 1, 36, -187, -1000})
            QCOMPARE(ShowSoundError(code), code);
        QVERIFY(messages.texts.isEmpty());
    }
};

TV_TEST_MAIN(TestSoundErrors)
#include "tst_sounderrors.moc"
