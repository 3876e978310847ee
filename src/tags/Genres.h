#pragma once
// The genre names offered for the Genre field, and their ID3v1 genre numbers.

#include <QString>
#include <QStringList>

namespace tv {

// The 149 genre names in the order the genre chooser shows them. The list index is not the ID3v1
// genre number: genres are always stored as text.
const QStringList &GenreNames();

// Clears a chooser (anything with clear() and addItems(), e.g. a combo box) and fills it with
// the genre names in order.
template <class Chooser> void FillGenreList(Chooser *chooser) {
    chooser->clear();
    chooser->addItems(GenreNames());
}

// The ID3v1 genre number of a genre text (any of GenreNames(), or an ID3v1/Winamp name in the
// usual spelling; case and runs of blanks do not matter), or 255 when it has none.
int Id3v1GenreNumber(const QString &genre);

// The genre text for an ID3v1 genre number: the spelling of GenreNames() where the number is
// there, the usual extended name otherwise, "" for 255 and other unknown numbers.
QString Id3v1GenreName(int number);

} // namespace tv
