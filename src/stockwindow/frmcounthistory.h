#pragma once

#include "stock/countlines.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

// The count history of one row: every line ever written, newest first (time, user,
// workstation, location, quantity, kind, replaced by whom), and "復原", which undoes the
// row's last change as a change of its own.
class frmCountHistory : public QDialog
{
    Q_OBJECT
public:
    // Reads the row's lines as now stored (quantities as the row shows them).
    using Lines = std::function<QList<CountLine>()>;
    // Undoes the row's last change; false when refused (the caller has said why).
    using Undo = std::function<bool()>;

    frmCountHistory(const QString &row, Lines lines, Undo undo, QWidget *parent = nullptr);

    QTableView *fgHistory = nullptr;
    QPushButton *cmdUndo = nullptr;
    QPushButton *cmdClose = nullptr;

    static QString kindText(QChar kind);

private:
    void reload();

    Lines m_lines;
    Undo m_undo;
    QStandardItemModel *m_model;
    QLabel *m_row;
};
