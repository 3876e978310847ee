// The rename rules and their dialogs.
#include "RenameDialogs.h"
#include "RenameMenu.h"
#include "RenameRules.h"
#include "TestEnv.h"
#include "WindowDriver.h"

#include <QLineEdit>
#include <QMenu>

using namespace tv;
using tv::test::AnswerNextDialog;

namespace {

QVector<RenameRow> Rows(const QStringList &names) {
    QVector<RenameRow> rows;
    for (const QString &n : names)
        rows.append({n, "/music/in/" + n + ".source.flac"});
    return rows;
}

} // namespace

class RenameRulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void caseRulesChangeEveryLetterTheirWay() {
        const QVector<RenameRow> rows = Rows({"  hello   WORLD", "", "éLAN vital", "ßtraße"});
        RenameParameters none;
        QCOMPARE(RenameAll(CapitalizeEachWord, none, rows),
                 (QStringList{"Hello   World", "", "Élan Vital", "SStraße"}));
        QCOMPARE(RenameAll(SentenceCase, none, rows).mid(0, 3),
                 (QStringList{"  hello   world", "", "Élan vital"}));
        QCOMPARE(RenameAll(LowerCase, none, rows).at(2), QStringLiteral("élan vital"));
        QCOMPARE(RenameAll(UpperCase, none, rows).at(2), QStringLiteral("ÉLAN VITAL"));
    }

    void numbersPrefixesSuffixesAndReplace() {
        const QVector<RenameRow> rows = Rows({"a.mp3 track", "B MP3", "mp3"});
        RenameParameters p;
        p.startNumber = 0;
        QCOMPARE(RenameAll(Numbers, p, rows), (QStringList{"0", "1", "2"}));
        p.startNumber = -1; // cancelled or a lone "-": nothing changes
        QCOMPARE(RenameAll(Numbers, p, rows), (QStringList{"a.mp3 track", "B MP3", "mp3"}));
        p.prefix = "01 - ";
        p.suffix = " (live)";
        QCOMPARE(RenameAll(AddBefore, p, rows).first(), QStringLiteral("01 - a.mp3 track"));
        QCOMPARE(RenameAll(AddAfter, p, rows).last(), QStringLiteral("mp3 (live)"));
        p.findText = "MP3";
        p.replaceText = "ogg";
        // Case is ignored; a name that becomes empty falls back to its input's base name alone.
        QCOMPARE(RenameAll(Replace, p, rows), (QStringList{"a.ogg track", "B ogg", "ogg"}));
        p.replaceText = "";
        QCOMPARE(RenameAll(Replace, p, rows), (QStringList{"a. track", "B ", "mp3.source"}));
        p.findText = "";
        QCOMPARE(RenameAll(Replace, p, rows), (QStringList{"a.mp3 track", "B MP3", "mp3"}));
    }

    void namesStayInsideTheOutputFolder() {
        RenameParameters p;
        p.findText = "a";
        p.replaceText = "/../";
        QCOMPARE(RenameAll(Replace, p, Rows({"banana"})), QStringList{"b_.._n_.._n_.._"});
        p.prefix = QString("x") + QChar(0);
        QCOMPARE(RenameAll(AddBefore, p, Rows({"n"})), QStringList{"x_n"});
    }

    void aStartNumberIsAWholeNumberThatFits() {
        QCOMPARE(StartNumberFromText("1"), 1);
        QCOMPARE(StartNumberFromText(""), -1);
        QCOMPARE(StartNumberFromText("-"), -1);
        QCOMPARE(StartNumberFromText("-4"), -4);
        QCOMPARE(StartNumberFromText("99999999999"), -1);
    }

    void everyMenuEntryAppliesItsRule() {
        QWidget owner;
        QList<int> applied;
        QMenu *menu = CreateRenameMenu("mnuRenameAll2", &owner, [&](int rule) { applied << rule; });
        for (int entry = 1; entry <= menu->actions().size(); ++entry) {
            auto *action = menu->findChild<QAction *>(QStringLiteral("mnuRenameAll2(%1)").arg(entry));
            QVERIFY(action);
            if (action->isSeparator())
                continue;
            action->trigger();
        }
        // Every entry gives a rule of its own (which one is the main window's renaming test).
        QCOMPARE(QSet<int>(applied.cbegin(), applied.cend()).size(), applied.size());
        QVERIFY(applied.size() >= 9);
    }

    void dialogsCollectTheirTextOrClearItWhenCancelled() {
        QWidget owner;
        // (Trimming, and Escape changing nothing, are the main window's renaming test.)
        RenameParameters p;
        p.suffix = "old";
        AnswerNextDialog(this, {{"Txt_AddAfter", "x"}}, "Cmd_Panel(0)");
        AskRenameParameters(AddAfter, &owner, p);
        QCOMPARE(p.suffix, QString());

        AnswerNextDialog(this, {{"Txt_Find", "a"}, {"Txt_Replace", "b/c"}}, "Cmd_Panel(1)");
        AskRenameParameters(Replace, &owner, p);
        QCOMPARE(p.findText, QStringLiteral("a"));
        QCOMPARE(p.replaceText, QStringLiteral("bc")); // the file-name box keeps "/" out

        // The numbers box opens with "1" (what it lets through is the key filter's test); a
        // lone "-" is no number.
        tv::test::OnNextModal(this, [](QWidget *dialog) {
            auto *box = dialog->findChild<QLineEdit *>("Txt_Number");
            QCOMPARE(box->text(), QStringLiteral("1"));
            box->setText("-");
            QTest::keyClick(box, Qt::Key_Return);
        });
        AskRenameParameters(Numbers, &owner, p);
        QCOMPARE(p.startNumber, -1);
        AnswerNextDialog(this, {{"Txt_Number", "12"}}, "Cmd_Panel(1)");
        AskRenameParameters(Numbers, &owner, p);
        QCOMPARE(p.startNumber, 12);

        AnswerNextDialog(this, {{"Txt_AddNew", "Fresh name"}}, "Enter");
        QCOMPARE(AskNewName("Old", &owner), QStringLiteral("Fresh name"));
        AnswerNextDialog(this, {{"Txt_AddNew", "   "}}, "Cmd_Panel(1)");
        QCOMPARE(AskNewName("Old", &owner), QStringLiteral("Old"));
        AnswerNextDialog(this, {{"Txt_AddNew", "Other"}}, "Escape");
        QCOMPARE(AskNewName("Old", &owner), QStringLiteral("Old"));
    }
};

TV_TEST_MAIN(RenameRulesTest)
#include "tst_renamerules.moc"
