#include "stockwindow/frmcounthistory.h"

#include "common/numtext.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

frmCountHistory::frmCountHistory(const QString &row, Lines lines, Undo undo, QWidget *parent)
    : QDialog(parent), m_lines(std::move(lines)), m_undo(std::move(undo)),
      m_model(new QStandardItemModel(this)), m_row(new QLabel(row))
{
    setObjectName(QStringLiteral("frmCountHistory"));
    setWindowTitle(QStringLiteral("盤點紀錄"));
    fgHistory = new QTableView;
    fgHistory->setObjectName(QStringLiteral("fgHistory"));
    fgHistory->setModel(m_model);
    fgHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fgHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
    fgHistory->verticalHeader()->hide();
    cmdUndo = new QPushButton(QStringLiteral("復原(&U)"));
    cmdUndo->setObjectName(QStringLiteral("cmdUndo"));
    cmdClose = new QPushButton(QStringLiteral("關閉"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdUndo);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_row);
    layout->addWidget(fgHistory, 1);
    layout->addLayout(buttons);

    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdUndo, &QPushButton::clicked, this, [this] {
        if (m_undo())
            reload();
    });
    reload();
    resize(760, 360);
}

QString frmCountHistory::kindText(QChar kind)
{
    switch (kind.toLatin1()) {
    case CountLine::Typed:
        return QStringLiteral("輸入");
    case CountLine::Scanned:
        return QStringLiteral("掃描");
    case CountLine::Imported:
        return QStringLiteral("匯入");
    case CountLine::Undo:
        return QStringLiteral("復原");
    default:
        return QString(kind);
    }
}

void frmCountHistory::reload()
{
    const QList<CountLine> lines = m_lines();
    m_model->clear();
    m_model->setHorizontalHeaderLabels({QStringLiteral("時間"), QStringLiteral("盤點人"),
                                        QStringLiteral("工作站"), QStringLiteral("區位"),
                                        QStringLiteral("數量"), QStringLiteral("方式"),
                                        QStringLiteral("被取代")});
    for (const CountLine &line : lines) {
        QList<QStandardItem *> cells{
            new QStandardItem(line.cntDate),
            new QStandardItem(line.userId),
            new QStandardItem(line.pcName),
            new QStandardItem(line.location),
            new QStandardItem(NumText(line.qty)),
            new QStandardItem(kindText(line.kind)),
            new QStandardItem(
                line.isCurrent() ? QString() : line.voidUserId + QLatin1Char(' ') + line.voidDate)};
        cells[4]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_model->appendRow(cells);
    }
    fgHistory->resizeColumnsToContents();
    cmdUndo->setEnabled(!lines.isEmpty());
    if (!lines.isEmpty())
        fgHistory->selectRow(0);
    (lines.isEmpty() ? cmdClose : cmdUndo)->setFocus();
}
