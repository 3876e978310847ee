// Catalog files: the line format, enciphering, damaged files and safe saving.
#include "CatalogFile.h"
#include "CatalogOperations.h"
#include "CatalogTable.h"
#include "Cipher.h"
#include "TestEnv.h"

using namespace tv;

namespace {

QByteArray Enciphered(const QList<QByteArray> &lines) {
    QByteArray out;
    for (const QByteArray &line : lines)
        out += EncipherLine(line) + "\r\n";
    return out;
}

} // namespace

class CatalogFileTest : public QObject {
    Q_OBJECT
private:
    QString dir() const { return test::Home().path() + "/catalogs/"; }

private Q_SLOTS:
    void linesAreSplitAtQuoteCommaOnly() {
        QCOMPARE(SplitCatalogLine(R"("a","b, c","")"), QStringList({"a", "b, c", ""}));
        // No escaping: every quote goes, and a value holding "," splits in two.
        QCOMPARE(SplitCatalogLine(R"("say "hi"","x")"), QStringList({"say hi", "x"}));
        QCOMPARE(SplitCatalogLine(R"("a",b","c")"), QStringList({"a", "b", "c"}));
        QCOMPARE(JoinCatalogLine({" a ", "b c", ""}), QStringLiteral(R"("a","b c","")"));
        QVERIFY(CatalogTextProblem("Rock, live 128 kbps").isEmpty());
        QVERIFY(!CatalogTextProblem(R"(My "best" preset)").isEmpty());
        QVERIFY(!CatalogTextProblem(R"(a",b)").isEmpty());
        QVERIFY(!CatalogTextProblem("two\nlines").isEmpty());
    }

    void loadsHeaderAndRowsWithShortAndLongLines() {
        const QString path = test::WriteFile(dir() + "rows.dat", Enciphered({
                                                                     R"("Name","ID","Keyword")",
                                                                     R"("One","1","MP3")",
                                                                     R"("Short","2")",
                                                                     R"("Long","3","OGG","extra","more")",
                                                                     "\"Fünf – ü\",\"5\",\"WAV\"",
                                                                 }));
        CatalogTable table;
        QCOMPARE(LoadCatalogFile(table, path, 0, true), 4);
        QCOMPARE(table.captions(), QStringList({"Name", "ID", "Keyword"}));
        QCOMPARE(table.rowCells(2), QStringList({"Short", "2", ""}));
        QCOMPARE(table.rowCells(3), QStringList({"Long", "3", "OGG"}));
        QCOMPARE(table.rowCells(4), QStringList({"Fünf – ü", "5", "WAV"}));

        // Appending ignores the other file's header and places its rows by position.
        const QString other = test::WriteFile(dir() + "other.dat", Enciphered({
                                                                       R"("Keyword","Name")",
                                                                       R"("A","B","C")",
                                                                   }));
        QCOMPARE(LoadCatalogFile(table, other, 1, true), 1);
        QCOMPARE(table.captions(), QStringList({"Name", "ID", "Keyword"}));
        QCOMPARE(table.rowCells(5), QStringList({"A", "B", "C"}));

        // Replacing starts over, and a file that cannot be read leaves an empty table.
        QCOMPARE(LoadCatalogFile(table, dir() + "missing.dat", 0, true), -1);
        QCOMPARE(table.columns(), 0);
        QCOMPARE(table.rows(), 0);
    }

    void damagedLinesAreSkippedAndTheRestLoads() {
        const QByteArray good1 = EncipherLine(R"("B","2")");
        const QByteArray good2 = EncipherLine(R"("E","5")");
        QByteArray content = EncipherLine(R"("Name","ID")") + "\r\n";
        content += EncipherLine(R"("A","1")") + "\r\n";
        content += good1.left(good1.size() - 1) + "\r\n";             // odd number of digits
        content += "ZZ" + good1.mid(2) + "\r\n";                      // not hex
        content += EncipherLine(R"("C","3")").toLower() + "\r\n";     // lower case still reads
        content += QByteArray(R"("D","4")") + "\r\n";                 // plain in an enciphered file
        content += EncipherLine("\xff\xfe\"x\"") + "\r\n";            // not UTF-8
        content += "\r\n";                                            // empty line
        content += good2 + "\n";                                      // LF only
        content += EncipherLine(R"("F","6")").left(good2.size() - 4); // truncated at the end
        const QString path = test::WriteFile(dir() + "damaged.dat", content);
        CatalogTable table;
        QCOMPARE(LoadCatalogFile(table, path, 0, true), 3);
        QCOMPARE(table.rowCells(1), QStringList({"A", "1"}));
        QCOMPARE(table.rowCells(2), QStringList({"C", "3"}));
        QCOMPARE(table.rowCells(3), QStringList({"E", "5"}));
        // What could not be read is kept beside the file, for the next save writes only the rest.
        QCOMPARE(test::ReadFile(path + ".unreadable"), content);

        // A file read with the wrong flag yields nothing readable, and no crash.
        QCOMPARE(LoadCatalogFile(table, path, 0, false), 0);
        QCOMPARE(table.columns(), 0);
        const QString plain = test::WriteFile(dir() + "plain.dat", "\"Name\",\"ID\"\r\n\"A\",\"1\"\r\n");
        QCOMPARE(LoadCatalogFile(table, plain, 0, true), 0);
        QCOMPARE(LoadCatalogFile(table, plain, 0, false), 1);
        QCOMPARE(table.rowCells(1), QStringList({"A", "1"}));

        // Empty files and files of garbage load nothing.
        QCOMPARE(LoadCatalogFile(table, test::WriteFile(dir() + "empty.dat", QByteArray()), 0, true), 0);
        QCOMPARE(table.columns(), 0);
        QVERIFY(!QFile::exists(dir() + "empty.dat.unreadable"));
        QByteArray garbage(5000, '\0');
        for (int i = 0; i < garbage.size(); ++i)
            garbage[i] = static_cast<char>((i * 131 + 7) % 256);
        QCOMPARE(LoadCatalogFile(table, test::WriteFile(dir() + "garbage.dat", garbage), 0, true), 0);
        QCOMPARE(table.rows(), 0);
        QCOMPARE(test::ReadFile(dir() + "garbage.dat.unreadable"), garbage);
    }

    void savingEnciphersUnicodeAndReadsBack() {
        CatalogTable table;
        table.addColumn(" Name ", 600);
        table.addColumn("ID", 200);
        table.addColumn("Removable", 200);
        AddCatalogRow(table, " Mine // User-1A00042B3 // Yes", 0, false);
        AddCatalogRow(table, "Shipped//AF-1//No", 0, false);
        AddCatalogRow(table, "Ünïcode, ok//User-2//Yes", 0, false);

        // (The exact line format is the shipped catalogs' byte-for-byte round trip.)
        const QString cipherPath = dir() + "deep/new/cipher.dat";
        QVERIFY(SaveCatalogFile(table, cipherPath, true));
        const QList<QByteArray> lines = test::ReadFile(cipherPath).split('\n');
        QCOMPARE(lines.size(), 5);
        // Non-ASCII text is enciphered as UTF-8, two hex digits per byte.
        QCOMPARE(lines.at(3).size() - 1, 2 * QString("\"Ünïcode, ok\",\"User-2\",\"Yes\"").toUtf8().size());

        CatalogTable back;
        QCOMPARE(LoadCatalogFile(back, cipherPath, 0, true), 3);
        QCOMPARE(back.captions(), QStringList({"Name", "ID", "Removable"}));
        QCOMPARE(back.rowCells(3), QStringList({"Ünïcode, ok", "User-2", "Yes"}));

        // Only the user's own presets go into the user preset file.
        const QString userPath = dir() + "user.dat";
        QVERIFY(SaveUserPresets(table, userPath, true));
        QCOMPARE(LoadCatalogFile(back, userPath, 0, true), 2);
        QCOMPARE(GetCatalogField(back, 1, "Name"), QStringLiteral("Mine"));
        QCOMPARE(GetCatalogField(back, 2, "Name"), QStringLiteral("Ünïcode, ok"));
    }

    void aValueTheFormatCannotCarryKeepsTheOldFile() {
        CatalogTable table;
        table.addColumn("Name", 600);
        table.addColumn("Removable", 200);
        AddCatalogRow(table, "Good//Yes", 0, false);
        const QString path = dir() + "keep.dat";
        QVERIFY(SaveCatalogFile(table, path, true));
        const QByteArray before = test::ReadFile(path);

        table.setCell(1, 0, R"(Bad", "name)");
        QVERIFY(!SaveCatalogFile(table, path, true));
        QVERIFY(!SaveUserPresets(table, path, true));
        table.setCell(1, 0, "Two\r\nlines");
        QVERIFY(!SaveCatalogFile(table, path, true));
        QCOMPARE(test::ReadFile(path), before);
        QCOMPARE(QDir(dir()).entryList({"keep.dat*"}, QDir::Files | QDir::Hidden).size(), 1);
    }

    void aFailedWriteLeavesNoHalfFile() {
        CatalogTable table;
        table.addColumn("Name", 600);
        for (int i = 0; i < 3000; ++i)
            AddCatalogRow(table, QStringLiteral("Preset number %1 with a long enough name").arg(i), 0, false);

        // A folder that is really a file cannot take the catalog.
        const QString blocker = test::WriteFile(dir() + "blocker");
        QVERIFY(!SaveCatalogFile(table, blocker + "/sub/x.dat", true));

        // A full disk: the earlier file stays whole under its name.
        const QString mount = dir() + "small";
        TV_TMPFS_OR_SKIP(disk, mount, "64k");
        CatalogTable small;
        small.addColumn("Name", 600);
        AddCatalogRow(small, "Old", 0, false);
        const QString path = mount + "/fav.dat";
        QVERIFY(SaveCatalogFile(small, path, true));
        const QByteArray before = test::ReadFile(path);
        const bool saved = SaveCatalogFile(table, path, true);
        const QByteArray after = test::ReadFile(path);
        QVERIFY(!saved);
        QCOMPARE(after, before);
        QCOMPARE(disk.files(), QStringList({"fav.dat"}));
    }
};

TV_TEST_MAIN_CORE(CatalogFileTest)
#include "tst_catalogfile.moc"
