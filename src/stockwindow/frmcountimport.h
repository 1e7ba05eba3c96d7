#pragma once

#include "stock/countimport.h"

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class StockMonth;

// The preview of counts from a handheld file: every line of the file with its outcome and
// the totals; "套用" hands the plan to the apply step (all or nothing), and the refused
// lines can be saved as a file to correct. Enter applies (only when some line is
// accepted), Esc cancels.
//
//     frmCountImport preview(apply, this);
//     preview.read(path, month, itemExists, pastDeadline); // shows it, with progress
//     preview.exec();                                      // preview.applied() after
class frmCountImport : public QDialog
{
    Q_OBJECT
public:
    // Writes the plan's accepted lines; false (with the reason in error) or a thrown
    // RunError when nothing was written: the preview then stays open.
    using Apply = std::function<bool(const CountImportPlan &plan, QString *error)>;

    explicit frmCountImport(Apply apply, QWidget *parent = nullptr);
    ~frmCountImport() override;

    // Shows the preview and reads the file into a plan against the month, the progress
    // bar following (the window repaints every few hundred lines).
    void read(const QString &path, const StockMonth &month,
              const CountImportPlan::ItemExists &itemExists, bool pastDeadline);
    // Shows a plan made elsewhere.
    void setPlan(CountImportPlan plan);
    const CountImportPlan &plan() const { return m_plan; }
    // Whether the apply step wrote the lines.
    bool applied() const { return m_applied; }

    void cmdApply_Click();
    void cmdSaveRefused_Click();
    void cmdCancel_Click();
    // Writes the refused lines to the file; false, with a message shown, when it cannot.
    bool saveRefused(const QString &path);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showPlan();
    void setBusy(bool busy);

    class LinesModel;
    Apply m_apply;
    CountImportPlan m_plan;
    QString m_path; // the file read, for the refused lines' proposed name
    bool m_applied = false;

    QTableView *fgImport = nullptr;
    LinesModel *m_model = nullptr;
    QLabel *lblTotals = nullptr;
    QProgressBar *prgImport = nullptr;
    QPushButton *cmdApply = nullptr;
    QPushButton *cmdSaveRefused = nullptr;
    QPushButton *cmdCancel = nullptr;
};
