// The tag editor window driven through its controls, on rows probed from generated tagged
// files: what it shows, the save question, stepping, applying, the cover buttons and dialogs,
// large covers and the read-only view during a conversion.
#include "FileProperties.h"
#include "FolderOpener.h"
#include "Genres.h"
#include "MessageBox.h"
#include "PictureDialogs.h"
#include "TagTestSupport.h"
#include "WindowDriver.h"
#include "frmTagEditor.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace tv;
using namespace tv::test;

namespace {

const char *const kBoxNames[] = {"TextTrack",        "TextTitle",    "TextArtist",
                                 "TextAlbum",        "TextYear",     "Cmb_Genre",
                                 "TextBoxCopyright", "TextComposer", "TextBoxComments"};

struct DialogCall {
    PictureDialogKind kind;
    QString folder;
};

} // namespace

class FrmTagEditorTest : public QObject {
    Q_OBJECT

    TagEditorMedia m_media;
    std::unique_ptr<FileListModel> m_list; // a fresh usual list for each test
    MessageRecorder m_messages{AnsNo};
    QList<DialogCall> m_dialogs;
    QString m_dialogAnswer;
    int m_dialogFilter = 1;

    std::unique_ptr<frmTagEditor> open(int index, bool readOnly = false) {
        auto editor = std::make_unique<frmTagEditor>(m_list.get(), nullptr);
        editor->setReadOnly(readOnly);
        editor->Form_Load(index);
        editor->show();
        return editor;
    }

    static QLineEdit *Line(QWidget &editor, const char *name) { return Find<QLineEdit>(&editor, name); }
    static QString LabelText(QWidget &editor, const char *name) {
        return Find<QLabel>(&editor, name)->text();
    }
    static void Click(frmTagEditor &editor, int index) { editor.Cmd_Properties(index)->click(); }

    static void Retype(QLineEdit *box, const QString &text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    // The one question of the window, asked once.
    void CheckAskedToSave() {
        QCOMPARE(m_messages.texts, QStringList{"|Do you want to save changes?"});
        QCOMPARE(m_messages.styles, QList<int>{MsgYesNo | MsgQuestion});
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(MakeTagEditorMedia(m_media));
        SetPictureDialogBackend(
            [this](QWidget *, PictureDialogKind kind, const QString &folder, int *filter) {
                m_dialogs << DialogCall{kind, folder};
                if (filter)
                    *filter = m_dialogFilter;
                return m_dialogAnswer;
            });
    }

    void init() {
        m_list = std::make_unique<FileListModel>();
        QVERIFY(FillList(*m_list, m_media));
        m_messages.clear();
        m_dialogs.clear();
        m_messages.answer = AnsNo;
        m_dialogAnswer.clear();
        m_dialogFilter = 1;
        SetLastPictureFolder(QString());
    }

    void showsTheItemWithItsTagsCoverPropertiesAndLocation() {
        auto editor = open(0);
        QStringList shown;
        for (const char *name : kBoxNames)
            shown << (QString(name) == "Cmb_Genre" ? Find<QComboBox>(editor.get(), name)->currentText()
                      : QString(name) == "TextBoxComments"
                          ? Find<QPlainTextEdit>(editor.get(), name)->toPlainText()
                          : Line(*editor, name)->text());
        QCOMPARE(shown, TextFields(TagRecordOfItem(m_list->mediaItem(0))));
        auto *genre = Find<QComboBox>(editor.get(), "Cmb_Genre");
        QCOMPARE(genre->count(), GenreNames().size());
        QCOMPARE(LabelText(*editor, "lbl_SelectedFileIndex"), QStringLiteral("1 of 3"));
        QCOMPARE(Line(*editor, "Txt_FileName")->text(), QDir::toNativeSeparators(m_media.coverMp3));
        QCOMPARE(LabelText(*editor, "lbl_ImageSize"), QStringLiteral("Image Size : 64 x 64"));
        QVERIFY(editor->Cmd_Properties(2)->isEnabled() && editor->Cmd_Properties(3)->isEnabled());
        QVERIFY(LabelText(*editor, "lbl_Infos").contains(FileSizeText(QFileInfo(m_media.coverMp3).size())));

        // The next item has no cover: the empty cover (as after removing one), nothing to save.
        Click(*editor, 5);
        QCOMPARE(Line(*editor, "TextTitle")->text(), QStringLiteral("Evening Song"));
        QCOMPARE(LabelText(*editor, "lbl_SelectedFileIndex"), QStringLiteral("2 of 3"));
        QVERIFY(!Find<QLabel>(editor.get(), "TagImg")->pixmap().isNull());

        // A row added by an import still running shows in the count at once.
        QVERIFY(AddRow(*m_list, m_media.wav));
        QCOMPARE(LabelText(*editor, "lbl_SelectedFileIndex"), QStringLiteral("2 of 4"));

        // The file's location opens with the input selected.
        QStringList opened;
        SetFolderOpenerBackend(
            [&opened](const QString &path, bool select) { opened << path + (select ? "|select" : "|open"); });
        Click(*editor, 1);
        SetFolderOpenerBackend({});
        QCOMPARE(opened, QStringList{m_media.plainFlac + "|select"});

        // Closing without a change asks nothing.
        Click(*editor, 0);
        QVERIFY(!editor->isVisible());
        QVERIFY(m_messages.texts.isEmpty());
        QVERIFY(m_dialogs.isEmpty());
    }

    // (What a step stores is the editor state's test.)
    void steppingPastEitherEndStaysThereAfterTheSaveQuestion() {
        auto editor = open(0);
        Click(*editor, 6);
        QCOMPARE(LabelText(*editor, "lbl_SelectedFileIndex"), QStringLiteral("1 of 3"));
        QVERIFY(m_messages.texts.isEmpty());

        editor->ShowItem(2);
        Retype(Line(*editor, "TextTitle"), "Typed over");
        QVERIFY(editor->state().changed());
        m_messages.answer = AnsNo;
        Click(*editor, 5);
        CheckAskedToSave();
        QCOMPARE(LabelText(*editor, "lbl_SelectedFileIndex"), QStringLiteral("3 of 3"));
        QCOMPARE(Line(*editor, "TextTitle")->text(), QStringLiteral("Speech"));
        QCOMPARE(m_list->item(2, Item::TagTitle), QStringLiteral("Speech"));

        Click(*editor, 6);
        Retype(Line(*editor, "TextYear"), "1999");
        m_messages.answer = AnsYes;
        Click(*editor, 6);
        QCOMPARE(m_messages.texts.size(), 2);
        QCOMPARE(m_list->item(1, Item::TagYear), QStringLiteral("1999"));
        QCOMPARE(LabelText(*editor, "lbl_SelectedFileIndex"), QStringLiteral("1 of 3"));
    }

    void closingAsksAboutChangesAndNoKeepsTheItems() {
        const QString genreBefore = m_list->item(1, Item::TagGenre);
        {
            auto editor = open(1);
            auto *genre = Find<QComboBox>(editor.get(), "Cmb_Genre");
            genre->setFocus();
            genre->lineEdit()->selectAll();
            QTest::keyClicks(genre, "Chillwave");
            QVERIFY(editor->state().changed());
            m_messages.answer = AnsNo;
            QTest::keyClick(editor.get(), Qt::Key_Escape);
            CheckAskedToSave();
            QVERIFY(!editor->isVisible());
            QCOMPARE(m_list->item(1, Item::TagGenre), genreBefore);
        }
        {
            m_messages.clear();
            auto editor = open(1);
            auto *comments = Find<QPlainTextEdit>(editor.get(), "TextBoxComments");
            comments->setFocus();
            comments->selectAll();
            QTest::keyClicks(comments, "first line");
            QTest::keyClick(comments, Qt::Key_Return);
            QTest::keyClicks(comments, "second line ");
            m_messages.answer = AnsYes;
            editor->close(); // the window's close box
            CheckAskedToSave();
            QCOMPARE(m_list->item(1, Item::TagComment), QStringLiteral("first line\nsecond line"));
        }
        {
            // Choosing a genre from the list counts as a change even when it is the same one.
            auto editor = open(1);
            auto *genre = Find<QComboBox>(editor.get(), "Cmb_Genre");
            genre->setCurrentIndex(genre->findText("Jazz"));
            emit genre->activated(genre->currentIndex());
            QVERIFY(editor->state().changed());
        }
    }

    void removingTheCoverAndApplyingClearsIt() {
        auto editor = open(0);
        const QString cover = m_list->item(0, Item::Thumbnail);
        Click(*editor, 3);
        QVERIFY(editor->state().changed());
        QVERIFY(LabelText(*editor, "lbl_ImageSize").isEmpty());
        QVERIFY(!editor->Cmd_Properties(2)->isEnabled());
        QVERIFY(!editor->Cmd_Properties(3)->isEnabled());
        QCOMPARE(m_list->item(0, Item::Thumbnail), cover); // nothing stored before Apply
        Click(*editor, 4);
        QVERIFY(!editor->state().changed());
        QVERIFY(m_list->item(0, Item::Thumbnail).isEmpty());
        QVERIFY(!QFile::exists(cover));
        Click(*editor, 0);
        QVERIFY(m_messages.texts.isEmpty());
    }

    // (Which picture and texts each item then keeps is the editor state's test; a click on the
    // cover opening the dialog, the main window's tag test.)
    void theOpenButtonAsksForAPictureAndApplyToAllReachesEveryItem() {
        auto editor = open(0);
        m_dialogAnswer = m_media.picture;
        Click(*editor, 7);
        QCOMPARE(m_dialogs.size(), 1);
        QCOMPARE(m_dialogs[0].kind, PictureDialogKind::Open);
        Retype(Line(*editor, "TextAlbum"), "Shared Album");
        Click(*editor, 8);
        QVERIFY(!editor->state().changed());
        QCOMPARE(m_list->item(2, Item::TagAlbum), QStringLiteral("Shared Album"));

        // The open button starts in the folder of the picture chosen before.
        editor->ShowItem(2);
        Click(*editor, 7);
        QCOMPARE(m_dialogs.last().folder, QFileInfo(m_media.picture).absolutePath());
    }

    void aChosenPictureIsCopiedAheadSoItsDriveMayGoBeforeApplying() {
        auto editor = open(1);
        const QString removable = Home().path() + "/stick/cover.png";
        QVERIFY(QDir().mkpath(QFileInfo(removable).absolutePath()));
        QVERIFY(QFile::copy(m_media.picture, removable));
        m_dialogAnswer = removable;
        Click(*editor, 7);
        QTRY_VERIFY(!editor->state().stagedCopy().isEmpty());
        QFile::remove(removable);
        Click(*editor, 4);
        QVERIFY(m_messages.texts.isEmpty());
        QCOMPARE(ReadFile(m_list->item(1, Item::Thumbnail)), ReadFile(m_media.picture));
    }

    void aFileThatIsNoPictureIsRefused() {
        auto editor = open(0);
        m_dialogAnswer = WriteFile(m_media.folder + "notes.jpg", "these are words, not a picture");
        Click(*editor, 7);
        QCOMPARE(m_messages.texts.size(), 1);
        QVERIFY2(m_messages.texts[0].startsWith("Attention!|") && m_messages.texts[0].contains("notes.jpg"),
                 qPrintable(m_messages.texts[0]));
        QVERIFY(!editor->state().changed());
        QCOMPARE(LabelText(*editor, "lbl_ImageSize"), QStringLiteral("Image Size : 64 x 64"));
    }

    void savingTheCoverAsAnotherFormat() {
        auto editor = open(0);
        const QString target = Home().path() + "/exported/cover";
        QVERIFY(QDir().mkpath(QFileInfo(target).absolutePath()));
        m_dialogAnswer = target;
        m_dialogFilter = 2;
        Click(*editor, 2);
        QCOMPARE(m_dialogs.size(), 1);
        QCOMPARE(m_dialogs[0].kind, PictureDialogKind::Save);
        QTRY_VERIFY(editor->Cmd_Properties(2)->isEnabled());
        QCOMPARE(QImage(target + ".png").size(), QSize(64, 64)); // (its bytes are the picture test's)
        QVERIFY(!editor->state().changed());

        // The name with the added extension is taken: asked about, and kept on "No".
        WriteFile(target + ".bmp", "mine");
        m_dialogFilter = 3;
        Click(*editor, 2);
        QCOMPARE(m_messages.texts.size(), 1);
        QVERIFY(m_messages.texts[0].startsWith("Confirm Save As|") &&
                m_messages.texts[0].contains("cover.bmp"));
        QCOMPARE(ReadFile(target + ".bmp"), QByteArray("mine"));
        QVERIFY(editor->Cmd_Properties(2)->isEnabled());
        m_messages.clear();

        // A folder that cannot be written: the user is told, the window goes on.
        m_dialogAnswer = Home().path() + "/no such folder/x";
        Click(*editor, 2);
        QTRY_COMPARE(m_messages.texts.size(), 1);
        QVERIFY(m_messages.texts[0].startsWith("Attention!|"));
        QVERIFY(editor->Cmd_Properties(2)->isEnabled());
    }

    void aThirtyMegabyteCoverIsReadWithoutHoldingTheWindow() {
        const QString huge = m_media.folder + "huge/cover.png";
        QVERIFY(GenerateNoisePicture(huge, 3200, 3200));
        QVERIFY(QFileInfo(huge).size() > 29 * 1000 * 1000);
        auto editor = open(1);
        QSignalSpy shown(editor.get(), &frmTagEditor::coverShown);
        m_dialogAnswer = huge;
        Click(*editor, 7);
        // The click is over while the picture is still being read.
        QVERIFY(editor->coverLoading());
        QVERIFY(editor->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(LabelText(*editor, "lbl_ImageSize"),
                                  QStringLiteral("Image Size : 3200 x 3200"), 30000);
        QCOMPARE(shown.size(), 1);
        const QPixmap preview = Find<QLabel>(editor.get(), "TagImg")->pixmap();
        QVERIFY(preview.width() <= 220 * preview.devicePixelRatio());

        // Removed before a second reading ended: the late answer does not bring it back.
        editor->ShowItem(1);
        Click(*editor, 7);
        Click(*editor, 3);
        QThreadPool::globalInstance()->waitForDone(30000);
        QCoreApplication::processEvents();
        QVERIFY(LabelText(*editor, "lbl_ImageSize").isEmpty());
        QVERIFY(!editor->Cmd_Properties(3)->isEnabled());
    }

    // (That nothing is stored then is the editor state's test.)
    void readOnlyDuringAConversion() {
        auto editor = open(0, true);
        QVERIFY(Find<QLabel>(editor.get(), "lbl_ReadOnly")->isVisible());
        Retype(Line(*editor, "TextTitle"), "Nope");
        QCOMPARE(Line(*editor, "TextTitle")->text(), QStringLiteral("Morning Song"));
        QVERIFY(!Find<QComboBox>(editor.get(), "Cmb_Genre")->isEnabled());
        for (int index : {3, 4, 7, 8})
            QVERIFY(!editor->Cmd_Properties(index)->isEnabled());
        QVERIFY(editor->Cmd_Properties(2)->isEnabled()); // saving the cover elsewhere is still fine
        QTest::mouseClick(Find<QLabel>(editor.get(), "TagImg"), Qt::LeftButton);
        QVERIFY(m_dialogs.isEmpty());
    }
};

TV_TEST_MAIN(FrmTagEditorTest)
#include "tst_frmtageditor.moc"
