#pragma once
// The chooser that burning begins in: Cmd_BurnTypes 0, 1 and 2 open the audio CD burner, the
// data CD burner and the data DVD burner.

#include "BurnSpace.h"

#include <QDialog>
#include <QHash>

class QPushButton;

namespace tv {

class frmBurnTypes : public QDialog {
    Q_OBJECT
public:
    explicit frmBurnTypes(QWidget *parent = nullptr);
    QPushButton *Cmd_BurnTypes(int index) const { return m_buttons.value(index); }

Q_SIGNALS:
    // A burner was chosen; the chooser closes.
    void burnerChosen(tv::BurnKind kind);

private:
    QHash<int, QPushButton *> m_buttons;
};

} // namespace tv
