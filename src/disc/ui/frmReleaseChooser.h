#pragma once
// The small chooser shown when several releases match the disc: the user picks the one in the
// drive (or none).

#include <QDialog>
#include <QStringList>

class QListWidget;

namespace tv {

class frmReleaseChooser : public QDialog {
    Q_OBJECT
public:
    frmReleaseChooser(const QStringList &releases, QWidget *parent = nullptr);
    // The chosen row, -1 when the dialog was cancelled.
    int chosen() const;

private:
    QListWidget *List_Releases;
};

} // namespace tv
