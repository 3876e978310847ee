#pragma once
// The output format search: type part of a preset name, keyword or maker, pick a result,
// and the output panel selects it.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;
class QToolButton;

namespace tv {

class CatalogTable;

class frmSearch : public QDialog {
    Q_OBJECT
public:
    explicit frmSearch(const CatalogTable &presets, QWidget *parent = nullptr);
    ~frmSearch() override;

signals:
    // The user accepted a result: the output panel selects it (SelectOutputFormat).
    void outputChosen(const QString &name, const QString &maker, const QString &keyword);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Txt_Search_Change();
    void Timer_OK_Button_Timer();
    void Cmd_Panels_Click(int index);

    const CatalogTable &m_presets;
    CatalogTable *m_results = nullptr; // the rows View_Found shows; UI thread only
    QLineEdit *Txt_Search = nullptr;
    QToolButton *Cmd_Search = nullptr;
    QTableView *View_Found = nullptr;
    QLabel *lbl_TotalPreset = nullptr;
    QPushButton *Cmd_Panels[2] = {nullptr, nullptr};
    QTimer *Timer_OK_Button = nullptr;
    bool m_searchIconIsRemove = true;
};

} // namespace tv
