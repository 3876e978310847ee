#include "PresetLookup.h"

#include "CatalogOperations.h"
#include "CatalogTable.h"
#include "Chooser.h"
#include "OutputTabs.h"

#include <algorithm>

namespace tv {

namespace {

int EditDistance(const QString &a, const QString &b) {
    QVector<int> previous(b.size() + 1);
    QVector<int> current(b.size() + 1);
    for (int j = 0; j <= b.size(); ++j)
        previous[j] = j;
    for (int i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (int j = 1; j <= b.size(); ++j) {
            const int substitute = previous[j - 1] + (a.at(i - 1).toLower() == b.at(j - 1).toLower() ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitute});
        }
        std::swap(previous, current);
    }
    return previous[b.size()];
}

QString Describe(const CatalogTable &presets, int row) {
    return QStringLiteral("%1 (%2, %3)")
        .arg(GetCatalogField(presets, row, "Name"), GetCatalogField(presets, row, "Keyword"),
             GetCatalogField(presets, row, "ID"));
}

} // namespace

bool IsListedPreset(const CatalogTable &presets, int row) {
    return presets.isRow(row) && GetCatalogField(presets, row, "Name") != kCustomPresetName;
}

QString PlainField(const CatalogTable &presets, int row, const QString &field) {
    QString value = GetCatalogField(presets, row, field);
    if (value.startsWith(QLatin1Char('#')) && value != QLatin1String("#"))
        value.remove(0, 1);
    return value;
}

PresetMatch FindPreset(const CatalogTable &presets, const QString &preset, const QString &keyword) {
    PresetMatch match;
    const QString wanted = preset.trimmed();
    const QString key = keyword.trimmed();
    auto keywordFits = [&](int row) {
        return key.isEmpty() ||
               GetCatalogField(presets, row, "Keyword").compare(key, Qt::CaseInsensitive) == 0;
    };

    if (wanted.isEmpty()) {
        // A keyword alone: the preset its button selects when clicked at start-up.
        for (int row = 1; row <= presets.rows(); ++row) {
            if (!keywordFits(row))
                continue;
            const QString maker = GetCatalogField(presets, row, "Maker");
            const QString exactKeyword = GetCatalogField(presets, row, "Keyword");
            const QStringList buttons = SplitBarList(CollectKeywords(presets, maker).keywords);
            const int button = static_cast<int>(buttons.indexOf(exactKeyword));
            ChoiceList chooser;
            FillPresetChooser(presets, maker, exactKeyword, chooser);
            RememberedPresets remembered;
            const int entry =
                std::clamp(remembered.index(TabOfMaker(maker), button), 0, chooser.entryCount() - 1);
            match.row = FindCatalogRow(presets, "ID", chooser.entryData(entry).toString());
            if (match.row > 0)
                return match;
        }
        match.problem = QStringLiteral("No output format has the keyword \"%1\".").arg(key);
        return match;
    }

    const int byId = FindCatalogRow(presets, "ID", wanted);
    if (byId > 0 && IsListedPreset(presets, byId)) {
        match.row = byId;
        return match;
    }
    QList<int> named;
    for (int row = 1; row <= presets.rows(); ++row) {
        if (IsListedPreset(presets, row) &&
            GetCatalogField(presets, row, "Name").compare(wanted, Qt::CaseInsensitive) == 0 &&
            keywordFits(row))
            named << row;
    }
    if (named.size() == 1) {
        match.row = named.first();
        return match;
    }
    if (named.size() > 1) {
        match.problem =
            QStringLiteral("Several output formats have a preset named \"%1\"; name the format with "
                           "--keyword, or give the preset's ID.")
                .arg(wanted);
        for (int row : named)
            match.suggestions << Describe(presets, row);
        return match;
    }
    match.problem = QStringLiteral("There is no preset \"%1\"%2.")
                        .arg(wanted, key.isEmpty() ? QString() : QStringLiteral(" for \"%1\"").arg(key));
    QList<QPair<int, int>> scored;
    for (int row = 1; row <= presets.rows(); ++row) {
        if (!IsListedPreset(presets, row) || !keywordFits(row))
            continue;
        const QString name = GetCatalogField(presets, row, "Name");
        int score = EditDistance(wanted, name.left(wanted.size() + 3));
        if (name.contains(wanted, Qt::CaseInsensitive))
            score = 0;
        scored << qMakePair(score, row);
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (int i = 0; i < scored.size() && i < 5; ++i)
        match.suggestions << Describe(presets, scored.at(i).second);
    return match;
}

} // namespace tv
