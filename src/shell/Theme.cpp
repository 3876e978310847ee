#include "Theme.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaEnum>
#include <QTextStream>
#include <algorithm>

namespace tv {

namespace {

// The style rules of the window skin; "@Name" stands for a colour of the scheme's
// [StyleSheet] section and "@ThemeFolder" for the theme folder. A rule naming a colour the
// scheme does not give is left out, so a scheme chooses its rules by the colours it names.
const char *const kSkinRules = R"(
QToolTip { color: @TipText; background: @TipBack; border: 1px solid @Border; padding: 3px; }
QHeaderView::section { background: @Header; color: @HeaderText; border: none;
    border-right: 1px solid @Border; border-bottom: 1px solid @Border; padding: 3px 6px; }
QProgressBar { border: 1px solid @Border; border-radius: 4px; background: @Track; color: @HeaderText;
    text-align: center; }
QProgressBar::chunk { background: @Accent; border-radius: 3px; }
QMenu::item:selected { background: @Accent; color: #ffffff; }
QCheckBox::indicator, QRadioButton::indicator { width: 13px; height: 13px;
    border: 1px solid @IndicatorBorder; background: @IndicatorBack; }
QCheckBox::indicator { border-radius: 3px; }
QRadioButton::indicator { border-radius: 7px; }
QCheckBox::indicator:checked { image: url(@ThemeFolderimg_small_check.png.svg); }
QRadioButton::indicator:checked { background: qradialgradient(cx: 0.5, cy: 0.5, radius: 0.5, fx: 0.5,
    fy: 0.5, stop: 0 @Accent, stop: 0.45 @Accent, stop: 0.55 @IndicatorBack, stop: 1 @IndicatorBack); }
QCheckBox::indicator:disabled, QRadioButton::indicator:disabled { border-color: @Border; }
)";

bool RoleOf(const QString &name, QPalette::ColorRole *role) {
    const QMetaEnum roles = QMetaEnum::fromType<QPalette::ColorRole>();
    bool ok = false;
    const int value = roles.keyToValue(name.toLatin1().constData(), &ok);
    if (!ok || value == QPalette::NoRole || value >= QPalette::NColorRoles)
        return false;
    *role = static_cast<QPalette::ColorRole>(value);
    return true;
}

} // namespace

QString ThemeName(int themeNo) {
    return themeNo == 2 ? QStringLiteral("Dark") : QStringLiteral("Light");
}

QString ColourSchemeFile(int themeNo) {
    return themeNo == 2 ? QStringLiteral("NormalBlack.ini") : QStringLiteral("NormalWhite.ini");
}

const QStringList &ThemeImageFiles() {
    static const QStringList files = {
        "img_addfile.png",
        "img_add_folder.png",
        "img_removefile.png",
        "img_convert.png",
        "img_stop.png",
        "img_pause.png",
        "img_resume.png",
        "img_clearall.png",
        "img_browse.png",
        "img_continue.png",
        "img_completed.png",
        "img_update.png",
        "img_warning.png",
        "img_analyzer.png",
        "img_tw.png",
        "img_fb.png",
        "img_gplus.png",
        "img_menu.png",
        "img_player_play.png",
        "img_player_toend.png",
        "img_player_stop.png",
        "img_player_pause.png",
        "img_player_capture.png",
        "img_player_capture_menu.png",
        "img_player_vol_on.png",
        "img_player_vol_off.png",
        "img_product_box.png",
        "img_small_check.png",
        "img_trim_play_selected.png",
        "img_close_tray.png",
        "img_close_exit.png",
        "img_setting.png",
        "img_favorite_on.png",
        "img_favorite_off.png",
        "img_add_preset.png",
        "img_remove_preset.png",
        "img_orange_check.png",
        "img_drm_lock.png",
        "img_search_format.png",
        "img_search.png",
        "img_search_remove.png",
        "img_adjust_flipv.png",
        "img_adjust_fliph.png",
        "img_adjust_rotate.png",
        "img_play_preview.jpg",
        "img_fullscreen.png",
        "img_exit_fullscreen.png",
        "img_playericon.png",
        "img_trim_gray.png",
        "img_effect_gray.png",
        "img_crop_gray.png",
        "img_adjust_gray.png",
        "img_trim_selected.png",
        "img_effect_selected.png",
        "img_crop_selected.png",
        "img_adjust_selected.png",
        "img_closeform.png",
        "img_add_dvd.png",
        "img_edit.png",
        "img_arrowdown.png",
        "img_audio_cd.png",
        "img_crop.png",
        "img_cd_burn.png",
        "img_cdburn_empty.png",
        "img_cdburn_nodisc.png",
        "img_cdburn_erase.png",
        "img_cdburn_locked.png",
        "img_cdburn_error.png",
        "img_cdburn_unknown.png",
        "img_cdburn_audiocd.png",
        "img_cdburn_mp3cd.png",
        "img_cdburn_mp3dvd.png",
        "img_cdripper_open.png",
        "img_cdripper_close.png",
        "img_cdripper_tryagain.png",
        "img_cdripper_error.png",
        "img_cdripper_audiotrack.png",
        "img_cdripper_noneaudiotrack.png",
        "img_cdripper_convert.png",
        "img_cdripper_stop.png",
        "img_tag_next.png",
        "img_tag_back.png",
        "img_tag_cover_open.png",
        "img_tag_cover_remove.png",
        "img_tag_cover_save.png",
        "img_music_tag.png",
        "img_rename_all.png",
        "img_zoom_in_h.png",
        "img_zoom_out_h.png",
        "img_zoom_fullsize.png",
        "img_zoom_selection.png",
        "img_sliderrail_4.jpg",
        "img_sliderimage1.jpg",
        "img_dragmedia.jpg",
        "img_list_icons.bmp",
    };
    return files;
}

QStringList ThemeIconFiles() {
    QStringList files = {QStringLiteral("done.ico"), QStringLiteral("tray_idle.ico")};
    for (int frame = 1; frame <= 9; ++frame)
        files << QStringLiteral("tray%1.ico").arg(frame);
    return files;
}

int ThemeFolderError(const QString &folder) {
    QString path = folder;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const QFileInfo info(path);
    if (!info.exists())
        return 76;
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        return 70;
    return 0;
}

int ReadColourScheme(const QString &path, ColourScheme *scheme) {
    QFile file(path);
    if (!file.exists())
        return 53;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 70;
    ColourScheme read;
    QList<QPair<QPalette::ColorRole, QColor>> disabled; // applied last, over the general colours
    QString section;
    bool anyRole = false;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return 13;
        const QString key = line.left(equals).trimmed();
        const QColor colour = QColor::fromString(line.mid(equals + 1).trimmed());
        if (!colour.isValid())
            return 13;
        if (section == QLatin1String("StyleSheet")) {
            read.sheetColours.insert(key, colour);
            continue;
        }
        QPalette::ColorRole role;
        if (!RoleOf(key, &role))
            return 13;
        if (section == QLatin1String("Palette")) {
            read.palette.setColor(QPalette::All, role, colour);
            anyRole = true;
        } else if (section == QLatin1String("Disabled")) {
            disabled.append({role, colour});
        } else {
            return 13;
        }
    }
    if (file.error() != QFileDevice::NoError)
        return 70;
    if (!anyRole)
        return 13;
    for (const auto &[role, colour] : std::as_const(disabled))
        read.palette.setColor(QPalette::Disabled, role, colour);
    *scheme = read;
    return 0;
}

QString SkinStyleSheet(const ColourScheme &scheme, const QString &themeFolder) {
    // Longer names first, so that "@Header" does not eat the start of "@HeaderText".
    QStringList names = scheme.sheetColours.keys();
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return a.size() > b.size(); });
    QStringList rules;
    for (QString rule : QString::fromLatin1(kSkinRules).split(QStringLiteral("}\n"), Qt::SkipEmptyParts)) {
        rule.replace(QStringLiteral("@ThemeFolder"), themeFolder);
        for (const QString &name : std::as_const(names))
            rule.replace(QLatin1Char('@') + name, scheme.sheetColours.value(name).name(QColor::HexArgb));
        if (!rule.contains(QLatin1Char('@')) && !rule.trimmed().isEmpty())
            rules << rule.trimmed() + QStringLiteral(" }");
    }
    return rules.join(QLatin1Char('\n'));
}

} // namespace tv
