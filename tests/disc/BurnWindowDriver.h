#pragma once
// Burning through the windows the way a user does: Burn is clicked, the start window's Start
// is pressed once the speeds are listed, the image file dialog is answered, and the completion
// message is read and closed.

#include <QString>
#include <QStringList>
#include <functional>

class QDialog;

namespace tv {
class frmBurnDisc;
}

namespace tv::test {

struct BurnAnswers {
    QString imagePath;                           // given to dlgSaveDiscImage
    QString label;                               // typed into Txt_DiscLabel when not empty
    std::function<void(QDialog *start)> writing; // called once the write can be cancelled
    QStringList seen;                            // names of the modal windows, first appearance
    QString message;                             // the completion message's text
    int speeds = -1;                             // entries of Cmb_BurnSpeed when Start was pressed
    QString firstSpeed;                          // text of the first entry
    QString statusAfterCancel;                   // the start window's status once cancelled
};

// Clicks Burn and answers the windows until the burn command has returned; after `writing`
// has cancelled the write, the start window is closed once it is ready again.
void BurnThroughWindows(frmBurnDisc &burner, BurnAnswers &answers);

} // namespace tv::test
