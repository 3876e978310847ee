#include "frmTagEditor.h"

#include "FileListModel.h"
#include "FileProperties.h"
#include "FolderOpener.h"
#include "Genres.h"
#include "ImageStore.h"
#include "MessageBox.h"
#include "PictureDialogs.h"
#include "Settings.h"
#include "TagEditorCovers.h"
#include "TagPictures.h"

#include "WindowUtil.h"
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tv {

namespace {

QLineEdit *NewLineEdit(QWidget *parent, const char *name) {
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QString BoxText(QWidget *box) {
    if (auto *line = qobject_cast<QLineEdit *>(box))
        return line->text();
    if (auto *combo = qobject_cast<QComboBox *>(box))
        return combo->currentText();
    if (auto *plain = qobject_cast<QPlainTextEdit *>(box))
        return plain->toPlainText();
    return QString();
}

} // namespace

frmTagEditor::frmTagEditor(FileListModel *list, QWidget *mainWindow)
    : QDialog(mainWindow), m_state(list), m_mainWindow(mainWindow) {
    setObjectName(QStringLiteral("frmTagEditor"));
    setWindowTitle(tr("Tag / Info"));
    setWindowIcon(ThemeIcon(QStringLiteral("img_music_tag.png")));
    setModal(true);
    buildLayout();
    connectBoxes();
    if (list) {
        connect(list, &QAbstractItemModel::rowsInserted, this, &frmTagEditor::onListChanged);
        connect(list, &QAbstractItemModel::rowsRemoved, this, &frmTagEditor::onListChanged);
        connect(list, &QAbstractItemModel::modelReset, this, &frmTagEditor::onListChanged);
    }
}

frmTagEditor::~frmTagEditor() = default;

QPushButton *frmTagEditor::addButton(int index, const QString &caption, const QString &image,
                                     const QString &toolTip) {
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QStringLiteral("Cmd_Properties(%1)").arg(index));
    if (!image.isEmpty()) {
        button->setIcon(ThemeIcon(image));
        button->setIconSize(QSize(20, 20));
    }
    button->setToolTip(toolTip);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, index]() { Cmd_Properties_Click(index); });
    m_buttons.insert(index, button);
    return button;
}

void frmTagEditor::buildLayout() {
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->setSpacing(8);

    auto *fileRow = new QHBoxLayout();
    Txt_FileName = NewLineEdit(this, "Txt_FileName");
    Txt_FileName->setReadOnly(true);
    Txt_FileName->setFocusPolicy(Qt::ClickFocus);
    fileRow->addWidget(Txt_FileName, 1);
    fileRow->addWidget(addButton(1, tr("Open file location"), QString(), tr("Show the file in its folder")));
    outer->addLayout(fileRow);

    TabControl1 = new QTabWidget(this);
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    TabControlPage1 = buildTagPage();
    TabControlPage2 = buildFormatPage();
    TabControl1->addTab(TabControlPage1, tr("Tag"));
    TabControl1->addTab(TabControlPage2, tr("Format"));
    outer->addWidget(TabControl1, 1);

    lbl_ReadOnly = new QLabel(tr("Files are being converted: the tags can be changed once the conversion has "
                                 "ended."),
                              this);
    lbl_ReadOnly->setObjectName(QStringLiteral("lbl_ReadOnly"));
    lbl_ReadOnly->setWordWrap(true);
    lbl_ReadOnly->hide();
    outer->addWidget(lbl_ReadOnly);

    auto *bottom = new QHBoxLayout();
    bottom->setSpacing(6);
    bottom->addWidget(addButton(6, QString(), QStringLiteral("img_tag_back.png"), tr("Previous file")));
    lbl_SelectedFileIndex = new QLabel(this);
    lbl_SelectedFileIndex->setObjectName(QStringLiteral("lbl_SelectedFileIndex"));
    lbl_SelectedFileIndex->setAlignment(Qt::AlignCenter);
    lbl_SelectedFileIndex->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000 of 0000")));
    bottom->addWidget(lbl_SelectedFileIndex);
    bottom->addWidget(addButton(5, QString(), QStringLiteral("img_tag_next.png"), tr("Next file")));
    bottom->addStretch(1);
    bottom->addWidget(
        addButton(8, tr("Apply to all files"), QString(), tr("Give every file of the list these tags")));
    QPushButton *applyButton = addButton(4, tr("Apply"), QString(), tr("Keep these tags for this file"));
    applyButton->setDefault(true);
    bottom->addWidget(applyButton);
    bottom->addWidget(addButton(0, tr("Close"), QString(), QString()));
    outer->addLayout(bottom);
    resize(700, 470);
    FitToScreen(this);
}

QWidget *frmTagEditor::buildTagPage() {
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("TabControlPage1"));
    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(10, 12, 10, 10);
    layout->setSpacing(16);

    // The cover with its three buttons beneath it.
    auto *coverColumn = new QVBoxLayout();
    coverColumn->setSpacing(6);
    TagImg = new QLabel(page);
    TagImg->setObjectName(QStringLiteral("TagImg"));
    TagImg->setFixedSize(kCoverSide + 2, kCoverSide + 2);
    TagImg->setAlignment(Qt::AlignCenter);
    TagImg->setFrameShape(QFrame::StyledPanel);
    TagImg->setCursor(Qt::PointingHandCursor);
    TagImg->setToolTip(tr("Click to choose a cover picture"));
    TagImg->installEventFilter(this);
    coverColumn->addWidget(TagImg, 0, Qt::AlignHCenter);
    lbl_ImageSize = new QLabel(page);
    lbl_ImageSize->setObjectName(QStringLiteral("lbl_ImageSize"));
    lbl_ImageSize->setAlignment(Qt::AlignCenter);
    coverColumn->addWidget(lbl_ImageSize);
    auto *coverButtons = new QHBoxLayout();
    coverButtons->setSpacing(4);
    coverButtons->addStretch(1);
    coverButtons->addWidget(addButton(7, QString(), QStringLiteral("img_tag_cover_open.png"), tr("Open")));
    coverButtons->addWidget(
        addButton(3, QString(), QStringLiteral("img_tag_cover_remove.png"), tr("Remove")));
    coverButtons->addWidget(addButton(2, QString(), QStringLiteral("img_tag_cover_save.png"), tr("Save As")));
    coverButtons->addStretch(1);
    coverColumn->addLayout(coverButtons);
    coverColumn->addStretch(1);
    layout->addLayout(coverColumn);

    // The tag fields.
    auto *grid = new QGridLayout();
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    TextTrack = NewLineEdit(page, "TextTrack");
    TextTitle = NewLineEdit(page, "TextTitle");
    TextArtist = NewLineEdit(page, "TextArtist");
    TextAlbum = NewLineEdit(page, "TextAlbum");
    TextYear = NewLineEdit(page, "TextYear");
    Cmb_Genre = new QComboBox(page);
    Cmb_Genre->setObjectName(QStringLiteral("Cmb_Genre"));
    Cmb_Genre->setEditable(true);
    Cmb_Genre->setInsertPolicy(QComboBox::NoInsert);
    Cmb_Genre->setMaxVisibleItems(16);
    TextBoxCopyright = NewLineEdit(page, "TextBoxCopyright");
    TextComposer = NewLineEdit(page, "TextComposer");
    TextBoxComments = new QPlainTextEdit(page);
    TextBoxComments->setObjectName(QStringLiteral("TextBoxComments"));
    TextBoxComments->setTabChangesFocus(true);
    TextBoxComments->setMinimumHeight(fontMetrics().lineSpacing() * 3 + 12);
    TextTrack->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("000/000")) + 24);
    TextYear->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) + 24);
    m_boxes = {TextTrack, TextTitle,        TextArtist,   TextAlbum,      TextYear,
               Cmb_Genre, TextBoxCopyright, TextComposer, TextBoxComments};

    const auto caption = [page](const QString &text, QWidget *buddy) {
        auto *label = new QLabel(text, page);
        label->setBuddy(buddy);
        return label;
    };
    int row = 0;
    grid->addWidget(caption(tr("&Title:"), TextTitle), row, 0);
    grid->addWidget(TextTitle, row++, 1);
    grid->addWidget(caption(tr("A&rtist:"), TextArtist), row, 0);
    grid->addWidget(TextArtist, row++, 1);
    grid->addWidget(caption(tr("Al&bum:"), TextAlbum), row, 0);
    grid->addWidget(TextAlbum, row++, 1);
    grid->addWidget(caption(tr("Trac&k:"), TextTrack), row, 0);
    // Track and year are short: they share a row.
    auto *numbers = new QHBoxLayout();
    numbers->setSpacing(8);
    numbers->addWidget(TextTrack);
    numbers->addStretch(1);
    numbers->addWidget(caption(tr("&Year:"), TextYear));
    numbers->addWidget(TextYear);
    grid->addLayout(numbers, row++, 1);
    grid->addWidget(caption(tr("&Genre:"), Cmb_Genre), row, 0);
    grid->addWidget(Cmb_Genre, row++, 1);
    grid->addWidget(caption(tr("&Composer:"), TextComposer), row, 0);
    grid->addWidget(TextComposer, row++, 1);
    grid->addWidget(caption(tr("Co&pyright:"), TextBoxCopyright), row, 0);
    grid->addWidget(TextBoxCopyright, row++, 1);
    auto *commentCaption = caption(tr("Co&mments:"), TextBoxComments);
    commentCaption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(commentCaption, row, 0);
    grid->addWidget(TextBoxComments, row++, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row - 1, 1);
    layout->addLayout(grid, 1);

    setTabOrder(TextTitle, TextArtist);
    setTabOrder(TextArtist, TextAlbum);
    setTabOrder(TextAlbum, TextTrack);
    setTabOrder(TextTrack, TextYear);
    setTabOrder(TextYear, Cmb_Genre);
    setTabOrder(Cmb_Genre, TextComposer);
    setTabOrder(TextComposer, TextBoxCopyright);
    setTabOrder(TextBoxCopyright, TextBoxComments);
    return page;
}

QWidget *frmTagEditor::buildFormatPage() {
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("TabControlPage2"));
    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(16, 12, 16, 10);
    layout->setSpacing(12);
    lbl_Titles = new QLabel(page);
    lbl_Titles->setObjectName(QStringLiteral("lbl_Titles"));
    lbl_Titles->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lbl_Titles->setTextFormat(Qt::RichText);
    lbl_Infos = new QLabel(page);
    lbl_Infos->setObjectName(QStringLiteral("lbl_Infos"));
    lbl_Infos->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbl_Infos->setTextFormat(Qt::RichText);
    lbl_Infos->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lbl_Titles);
    layout->addWidget(lbl_Infos, 1);
    return page;
}

void frmTagEditor::connectBoxes() {
    for (int box = 0; box < kTagBoxCount; ++box) {
        QWidget *widget = m_boxes[static_cast<std::size_t>(box)];
        const auto changed = [this, box, widget]() {
            if (!m_filling)
                m_state.setField(box, BoxText(widget));
        };
        if (auto *line = qobject_cast<QLineEdit *>(widget))
            connect(line, &QLineEdit::textChanged, this, changed);
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(widget))
            connect(plain, &QPlainTextEdit::textChanged, this, changed);
    }
    connect(Cmb_Genre, &QComboBox::editTextChanged, this, [this](const QString &text) {
        if (!m_filling)
            m_state.setField(BoxGenre, text);
    });
    // Choosing from the list counts as a change even when the same genre is chosen again.
    connect(Cmb_Genre, &QComboBox::activated, this, [this]() {
        if (!m_filling)
            m_state.setField(BoxGenre, Cmb_Genre->currentText());
    });
}

void frmTagEditor::Form_Load(int index) {
    m_filling = true;
    FillGenreList(Cmb_Genre);
    // Suggestions pop up under the box but never complete the typed text on their own: genres
    // are free text.
    auto *completer = new QCompleter(GenreNames(), Cmb_Genre);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    Cmb_Genre->setCompleter(completer);
    m_filling = false;
    ShowItem(index);
    applyThemeColours();
    TabControl1->setCurrentWidget(TabControlPage1);
    TextTitle->setFocus();
}

void frmTagEditor::ShowItem(int index) {
    m_state.ShowItem(index);
    fillBoxes();
    const int shown = m_state.shownIndex();
    Txt_FileName->setText(shown >= 0 ? QDir::toNativeSeparators(m_state.list()->mediaItem(shown).inputPath())
                                     : QString());
    Txt_FileName->setCursorPosition(0);
    lbl_SelectedFileIndex->setText(m_state.positionText());
    showProperties();
    showPicture(m_state.shownPicture());
}

bool frmTagEditor::Save(int index) {
    QString error;
    if (m_state.Save(index, &error))
        return true;
    showFailure(error);
    return false;
}

void frmTagEditor::fillBoxes() {
    m_filling = true;
    for (int box = 0; box < kTagBoxCount; ++box) {
        const QString text = m_state.field(box);
        QWidget *widget = m_boxes[static_cast<std::size_t>(box)];
        if (auto *line = qobject_cast<QLineEdit *>(widget)) {
            line->setText(text);
            line->setCursorPosition(0);
        } else if (auto *plain = qobject_cast<QPlainTextEdit *>(widget)) {
            plain->setPlainText(text);
        }
    }
    const int genre = Cmb_Genre->findText(m_state.field(BoxGenre), Qt::MatchExactly);
    Cmb_Genre->setCurrentIndex(genre);
    if (genre < 0)
        Cmb_Genre->setEditText(m_state.field(BoxGenre));
    m_filling = false;
}

void frmTagEditor::showProperties() {
    const int shown = m_state.shownIndex();
    if (shown < 0) {
        lbl_Titles->clear();
        lbl_Infos->clear();
        return;
    }
    const QList<PropertyLine> lines = FilePropertyLines(m_state.list()->mediaItem(shown));
    const QString grey = palette().color(QPalette::Disabled, QPalette::WindowText).name();
    QStringList titles;
    QStringList values;
    for (const PropertyLine &line : lines) {
        titles << line.title.toHtmlEscaped();
        values << (line.available ? line.value.toHtmlEscaped()
                                  : QStringLiteral("<span style=\"color:%1\">%2</span>")
                                        .arg(grey, line.value.toHtmlEscaped()));
    }
    // Both columns are laid out the same way, so each title stays level with its value.
    lbl_Titles->setText(titles.join(QStringLiteral("<br>")));
    lbl_Infos->setText(values.join(QStringLiteral("<br>")));
}

void frmTagEditor::applyThemeColours() {
    const bool dark = Settings().themeNo == 2;
    const QPalette base = QApplication::palette();
    const QColor back = dark ? QColor(0x16, 0x16, 0x16) : base.color(QPalette::Active, QPalette::Window);
    const QColor text = dark ? QColor(Qt::white) : base.color(QPalette::Active, QPalette::ButtonText);
    for (QWidget *box : m_boxes)
        SetFieldColours(box, back, text);
}

void frmTagEditor::setReadOnly(bool readOnly) {
    m_state.setReadOnly(readOnly);
    updateEditable();
}

void frmTagEditor::updateEditable() {
    const bool readOnly = m_state.readOnly();
    for (QWidget *box : m_boxes) {
        if (auto *line = qobject_cast<QLineEdit *>(box))
            line->setReadOnly(readOnly);
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(box))
            plain->setReadOnly(readOnly);
    }
    Cmb_Genre->setEnabled(!readOnly);
    for (int index : {4, 7, 8})
        Cmd_Properties(index)->setEnabled(!readOnly);
    Cmd_Properties(3)->setEnabled(!readOnly && m_pictureShown);
    TagImg->setCursor(readOnly ? Qt::ArrowCursor : Qt::PointingHandCursor);
    TagImg->setToolTip(readOnly ? QString() : tr("Click to choose a cover picture"));
    lbl_ReadOnly->setVisible(readOnly);
}

void frmTagEditor::onListChanged() {
    const int before = m_state.shownIndex();
    m_state.ListChanged();
    if (m_state.count() == 0) {
        // Nothing is left to show or to store into.
        QDialog::reject();
        return;
    }
    if (m_state.shownIndex() != before)
        ShowItem(m_state.shownIndex());
    else
        lbl_SelectedFileIndex->setText(m_state.positionText());
}

bool frmTagEditor::eventFilter(QObject *watched, QEvent *event) {
    if (watched == TagImg && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (!m_state.readOnly())
            Cmd_Properties_Click(7);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmTagEditor::Cmd_Properties_Click(int index) {
    switch (index) {
    case 0:
        reject();
        break;
    case 1:
        openFileLocation();
        break;
    case 2:
        savePictureAs();
        break;
    case 3:
        removePicture();
        break;
    case 4:
        apply();
        break;
    case 5:
        step(1);
        break;
    case 6:
        step(-1);
        break;
    case 7:
        choosePicture();
        break;
    case 8:
        applyToAll();
        break;
    default:
        break;
    }
}

bool frmTagEditor::SaveWanted() {
    return ShowMessage(QStringLiteral("Do you want to save changes?"), MsgYesNo | MsgQuestion, QString()) ==
           AnsYes;
}

void frmTagEditor::showFailure(const QString &text) {
    if (!text.isEmpty())
        ShowMessage(text, MsgOkOnly | MsgExclamation, QStringLiteral("Attention!"));
}

void frmTagEditor::reject() {
    QString error;
    if (!m_state.LeaveShownItem(&frmTagEditor::SaveWanted, &error)) {
        // The picture could not be stored: the window stays, with the change still pending.
        showFailure(error);
        return;
    }
    QDialog::reject();
}

void frmTagEditor::openFileLocation() {
    const int shown = m_state.shownIndex();
    if (shown < 0 || Txt_FileName->text().trimmed().isEmpty())
        return;
    OpenFolder(m_mainWindow ? m_mainWindow : this, m_state.list()->mediaItem(shown).inputPath(), true, false);
}

void frmTagEditor::apply() {
    QString error;
    if (!m_state.Apply(&error))
        showFailure(error);
}

void frmTagEditor::step(int delta) {
    QString error;
    if (!m_state.Step(delta, &frmTagEditor::SaveWanted, &error)) {
        showFailure(error);
        return;
    }
    ShowItem(m_state.shownIndex());
}

void frmTagEditor::applyToAll() {
    QString error;
    const bool ok = m_state.ApplyToAll(&error);
    // A chosen picture that was not applied is dropped: the stored cover is shown again.
    showPicture(m_state.shownPicture());
    if (!ok)
        showFailure(error);
}

} // namespace tv
