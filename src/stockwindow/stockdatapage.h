#pragma once

#include "stock/stockcolumns.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class CountLinesBar;
class StockGridView;
class StockMonth;
class StockMonthModel;

// The stock window's data page: the print commands, the item box a scanner types into, the
// name search, the display options, the counting controls and the month's stock grid. The
// display options and the name search are the page's own; the commands go to the window.
class StockDataPage : public QWidget, public StockColumns
{
    Q_OBJECT
public:
    explicit StockDataPage(StockMonthModel *model, QWidget *parent = nullptr);

    StockGridView *grid() const { return fgList; }
    CountLinesBar *countBar() const { return elaCount; }

    void restoreOptions();
    void saveOptions() const;

    // Shows or hides a column as an option asks, never one the user may not see.
    void setColumnShown(int col, bool shown);
    // The rows the zero-rows option hides, after a load; one row as it changes.
    void hideZeroRows();
    void applyZeroRule(int index);

    // The count sheet's order: by item number (0) or by location (1).
    int countSheetOrder() const;
    // The commands and the option that show book figures (not for a blind count).
    void setBookFiguresOffered(bool offered);
    void setVarianceOffered(bool offered);
    bool varianceOffered() const;

Q_SIGNALS:
    void printReportRequested();
    void countSheetRequested();
    void slipRequested(int index);
    // The item box's number (Enter, as a barcode scanner ends it, or the button); the box is
    // cleared once it is handled.
    void itemRequested(const QString &typed);
    void varianceRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const StockMonth &month() const;
    bool isZeroRow(int index) const;
    void requestItem();
    void seekName(const QString &typed);
    void hideUnstocked(bool hide);
    void hideZeroRowsOption(bool hide);

    StockMonthModel *m_model;
    QPushButton *cmdPrintRpt = nullptr;
    QPushButton *cmdCountSheet = nullptr;
    QComboBox *cboCountSheetOrder = nullptr;
    QPushButton *cmdPrintByMistra[2] = {};
    QLineEdit *textSTKNo = nullptr;
    QPushButton *cmdSeekSTKNo = nullptr;
    QLineEdit *txtSeekItem = nullptr;
    QPushButton *cmdVariance = nullptr;
    QCheckBox *chkHideSTKFlag = nullptr;
    QCheckBox *chkHideAvgPrice = nullptr;
    QCheckBox *chkHideDscp = nullptr;
    QCheckBox *chkNoDisplayQtyIsZero = nullptr;
    QCheckBox *chkShowRecount = nullptr;
    CountLinesBar *elaCount = nullptr;
    StockGridView *fgList = nullptr;
};
