// The completion dialogs.
#include "FolderOpener.h"
#include "TestEnv.h"
#include "frmMsg.h"

#include <QPushButton>

using namespace tv;

class FrmMsgTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void burningIsOfferedForAudioCdFormats() {
        for (const char *path : {"/o/a.MP3", "/o/a.mp3", "/o/b.OGG", "/o/c.WMA", "/o/d.wav"})
            QVERIFY2(frmMsg::OffersBurning(path), path);
        for (const char *path : {"/o/a.M4A", "/o/a.FLAC", "/o/a.mp3.AAC", "/o/mp3", ""})
            QVERIFY2(!frmMsg::OffersBurning(path), path);
    }

    void buttonsOfBothDialogs() {
        QStringList opened;
        SetFolderOpenerBackend([&](const QString &path, bool select) {
            QVERIFY(!select);
            opened << path;
        });
        frmMsg plain(false, "/music/out/");
        QVERIFY(!plain.findChild<QPushButton *>("Cmd_Msg(1)"));
        plain.findChild<QPushButton *>("Cmd_Msg(0)")->click();
        QCOMPARE(opened, QStringList{"/music/out/"});
        QCOMPARE(plain.result(), int(QDialog::Accepted));

        frmMsg withBurn(true, "/music/out/");
        QPushButton *burn = withBurn.findChild<QPushButton *>("Cmd_Msg(1)");
        QVERIFY(burn);
        QVERIFY(!burn->isEnabled()); // until the window says a burner can be opened
        withBurn.setBurnAvailable(true);
        QVERIFY(burn->isEnabled());
        bool requested = false;
        connect(&withBurn, &frmMsg::burnRequested, this, [&]() { requested = true; });
        burn->click();
        QVERIFY(requested);
        withBurn.findChild<QPushButton *>("Cmd_Msg(2)")->click();
        QCOMPARE(withBurn.result(), int(QDialog::Rejected));
        SetFolderOpenerBackend({});
    }
};

TV_TEST_MAIN(FrmMsgTest)
#include "tst_frmmsg.moc"
