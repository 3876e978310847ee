#pragma once
// The completion dialogs: "Conversion is completed !" with "Open output folder" and "Close",
// and the variant that also offers "Burn to disc" for outputs an audio CD can take.

#include <QDialog>

class QPushButton;

namespace tv {

class frmMsg : public QDialog {
    Q_OBJECT
public:
    // withBurn builds the variant with "Burn to disc" (frmMsg2).
    frmMsg(bool withBurn, const QString &outputFolder, QWidget *parent = nullptr);
    // The message window of other operations ("Successfully completed!", "Erasing is
    // completed!"): its text in lbl_ConversionCompleted and a Close button.
    explicit frmMsg(const QString &message, QWidget *parent = nullptr);

    // Whether the burn button can be used; it stays visible but disabled until a burner exists.
    void setBurnAvailable(bool available);

    // True when the completion dialog for this output offers "Burn to disc".
    static bool OffersBurning(const QString &firstOutputPath);

Q_SIGNALS:
    // "Burn to disc" was chosen; the audio CD burner opens with the converted files.
    void burnRequested();

private:
    QString m_outputFolder;
    QPushButton *m_burn = nullptr;
};

} // namespace tv
