// The loudness choice under the output panel: remembered across starts, locked while a batch
// runs, and carried into the conversion (checked with an independent meter).
#include "Config.h"
#include "LoudnessProbe.h"
#include "MainWindowDriver.h"
#include "MediaGen.h"
#include "MessageBox.h"
#include "OutputFolders.h"
#include "Settings.h"
#include "TestEnv.h"

#include <QComboBox>

#include <cmath>

using namespace tv;
using namespace tv::test;

class FrmMainLoudnessTest : public QObject {
    Q_OBJECT
private:
    MessageRecorder m_messages{AnsOk};

    static QComboBox *Mode(const frmMain &w) { return Find<QComboBox>(&w, "Combo_Loudness"); }
    static QComboBox *Target(const frmMain &w) { return Find<QComboBox>(&w, "Combo_LoudnessTarget"); }

private Q_SLOTS:
    void initTestCase() {
        ReadConfiguration();
        WriteSetting("CloseEvent", "2");
        WriteSetting("CloseDontAskMe", "-1");
        LoadFolders();
    }

    void theChoiceIsRememberedAcrossStarts() {
        {
            auto w = StartMainWindow();
            QVERIFY(w);
            QCOMPARE(Mode(*w)->currentText(), QStringLiteral("Off"));
            QVERIFY(!Target(*w)->isEnabled()); // a target means nothing while the sound is left alone
            Mode(*w)->setCurrentIndex(Mode(*w)->findText("Album"));
            QVERIFY(Target(*w)->isEnabled());
            Target(*w)->setCurrentIndex(Target(*w)->findText("-23 LUFS"));
            QVERIFY(w->close());
        }
        {
            auto w = StartMainWindow();
            QVERIFY(w);
            QCOMPARE(Mode(*w)->currentText(), QStringLiteral("Album"));
            QCOMPARE(Target(*w)->currentText(), QStringLiteral("-23 LUFS"));
            Mode(*w)->setCurrentIndex(Mode(*w)->findText("ReplayGain tags only"));
            QVERIFY(!Target(*w)->isEnabled());
            QVERIFY(w->close());
        }
        auto w = StartMainWindow();
        QVERIFY(w);
        QCOMPARE(Mode(*w)->currentText(), QStringLiteral("ReplayGain tags only"));
        QCOMPARE(ReadSetting("LoudnessMode"), QStringLiteral("tags"));
        // A store edited by hand to something unknown falls back to the defaults.
        QVERIFY(w->close());
        w.reset();
        WriteSetting("LoudnessMode", "loudest");
        WriteSetting("LoudnessTarget", "7");
        auto again = StartMainWindow();
        QVERIFY(again);
        QCOMPARE(Mode(*again)->currentText(), QStringLiteral("Off"));
        QCOMPARE(Target(*again)->currentText(), QStringLiteral("-16 LUFS"));
    }

    void convertNowNormalisesTheOutputs() {
        const QString in = test::Home().path() + "/in/";
        QDir().mkpath(in);
        QVERIFY(test::GenerateToneAtLoudness(in + "quiet.wav", -30.0, 6.0));
        QVERIFY(test::GenerateToneAtLoudness(in + "loud.wav", -12.0, 6.0));
        const QString out = test::Home().path() + "/out/";
        auto w = StartMainWindow(out);
        QVERIFY(w);
        Mode(*w)->setCurrentIndex(Mode(*w)->findText("Normalize to"));
        Target(*w)->setCurrentIndex(Target(*w)->findText("-16 LUFS"));
        w->importFile(in + "quiet.wav");
        w->importFile(in + "loud.wav");
        QCOMPARE(w->fileList()->list()->rowCount(), 2);
        DialogCloser closer;
        QSignalSpy completed(w.get(), &frmMain::batchCompleted);
        w->Cmd_FileListView(3)->click();
        // Nothing about the output may change while the batch runs.
        QTRY_VERIFY(!Mode(*w)->isEnabled() || !completed.isEmpty());
        if (completed.isEmpty())
            QVERIFY(completed.wait(60000));
        QTRY_COMPARE(w->conversionState(), frmMain::Idle);
        QVERIFY(Mode(*w)->isEnabled());
        for (int row = 0; row < 2; ++row) {
            QCOMPARE(ListItem(*w, row, Item::Progress).trimmed(), QStringLiteral("Done"));
            const MeteredLoudness output = MeterLoudness(ListItem(*w, row, Item::ConvertedFileName));
            QVERIFY(output.ok);
            QVERIFY2(std::abs(output.integrated + 16.0) <= 0.5,
                     qPrintable(QString::number(output.integrated)));
            QVERIFY(output.truePeak <= -1.0);
        }
    }
};

TV_TEST_MAIN(FrmMainLoudnessTest)
#include "tst_frmmain_loudness.moc"
