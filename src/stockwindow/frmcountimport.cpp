#include "stockwindow/frmcountimport.h"

#include "common/errorreport.h"
#include "common/numtext.h"
#include "platform/widgets/messagebox.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScopeGuard>
#include <QTableView>
#include <QVBoxLayout>

namespace {

using Outcome = CountImportLine::Outcome;

const QString Title = QStringLiteral("匯入盤點檔");

QString label(const char *procedure)
{
    return QStringLiteral("frmCountImport_") + QLatin1String(procedure);
}

} // namespace

// The plan's lines as the table shows them: line number, item, location, quantity, outcome.
class frmCountImport::LinesModel : public QAbstractTableModel
{
public:
    enum Column { ColLineNo, ColItem, ColLocation, ColQty, ColOutcome, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setLines(const QList<CountImportLine> *lines)
    {
        beginResetModel();
        m_lines = lines;
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() || !m_lines ? 0 : int(m_lines->size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || !m_lines)
            return {};
        const CountImportLine &line = m_lines->at(index.row());
        const CountFileLine &read = line.line;
        switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
            case ColLineNo:
                return read.lineNo;
            case ColItem:
                // A line too broken to have an item shows as read.
                return read.item.isEmpty() && !read.isGood() ? read.raw : read.item;
            case ColLocation:
                return read.location;
            case ColQty:
                return read.isGood() ? NumText(read.qty) : QString();
            case ColOutcome:
                return line.text;
            }
            return {};
        case Qt::ToolTipRole:
            return read.raw;
        case Qt::TextAlignmentRole:
            return index.column() == ColLineNo || index.column() == ColQty
                       ? int(Qt::AlignRight | Qt::AlignVCenter)
                       : int(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::ForegroundRole:
            if (!line.isAccepted())
                return QColor(0xB0, 0x00, 0x00);
            if (line.outcome == Outcome::Duplicate)
                return QColor(0x70, 0x70, 0x70);
            return {};
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        static const QString titles[ColumnCount] = {QStringLiteral("行號"), QStringLiteral("品號"),
                                                    QStringLiteral("盤點區位"),
                                                    QStringLiteral("數量"), QStringLiteral("結果")};
        return section >= 0 && section < ColumnCount ? titles[section] : QString();
    }

private:
    const QList<CountImportLine> *m_lines = nullptr;
};

frmCountImport::frmCountImport(Apply apply, QWidget *parent)
    : QDialog(parent), m_apply(std::move(apply))
{
    setObjectName(QStringLiteral("frmCountImport"));
    setWindowTitle(Title);
    setModal(true);

    m_model = new LinesModel(this);
    fgImport = new QTableView(this);
    fgImport->setObjectName(QStringLiteral("fgImport"));
    fgImport->setModel(m_model);
    fgImport->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fgImport->setSelectionBehavior(QAbstractItemView::SelectRows);
    fgImport->setSelectionMode(QAbstractItemView::SingleSelection);
    fgImport->setWordWrap(false);
    fgImport->verticalHeader()->hide();
    fgImport->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    fgImport->horizontalHeader()->setStretchLastSection(true);
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    fgImport->setColumnWidth(LinesModel::ColLineNo, digit * 8);
    fgImport->setColumnWidth(LinesModel::ColItem, digit * 18);
    fgImport->setColumnWidth(LinesModel::ColLocation, digit * 16);
    fgImport->setColumnWidth(LinesModel::ColQty, digit * 14);

    lblTotals = new QLabel(this);
    lblTotals->setObjectName(QStringLiteral("lblTotals"));
    lblTotals->setWordWrap(true);
    lblTotals->setTextInteractionFlags(Qt::TextSelectableByMouse);

    prgImport = new QProgressBar(this);
    prgImport->setObjectName(QStringLiteral("prgImport"));
    prgImport->setTextVisible(false);
    prgImport->hide();

    const auto button = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        // Enter is the window's (apply), not the focused button's.
        b->setAutoDefault(false);
        return b;
    };
    cmdApply = button("cmdApply", QStringLiteral("套用"));
    cmdSaveRefused = button("cmdSaveRefused", QStringLiteral("儲存未匯入行"));
    cmdCancel = button("cmdCancel", QStringLiteral("取消"));
    connect(cmdApply, &QPushButton::clicked, this, &frmCountImport::cmdApply_Click);
    connect(cmdSaveRefused, &QPushButton::clicked, this, &frmCountImport::cmdSaveRefused_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCountImport::cmdCancel_Click);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(prgImport, 1);
    buttons->addStretch();
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdSaveRefused);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fgImport, 1);
    layout->addWidget(lblTotals);
    layout->addLayout(buttons);

    resize(digit * 110, fontMetrics().height() * 30);
    showPlan();
}

frmCountImport::~frmCountImport() = default;

void frmCountImport::read(const QString &path, const StockMonth &month,
                          const CountImportPlan::ItemExists &itemExists, bool pastDeadline)
{
    m_path = path;
    show();
    setBusy(true);
    const auto done = qScopeGuard([this] { setBusy(false); });
    // Reading is the first half of the bar, planning the second.
    const auto step = [this](int half) {
        return [this, half](int done, int total) {
            prgImport->setRange(0, 2 * qMax(total, 1));
            prgImport->setValue(half * total + done);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
    };
    ReportErrors(label("read"), [&] {
        const CountFile file = ReadCountFile(path, step(0));
        setPlan(CountImportPlan(file, month, itemExists, pastDeadline, step(1)));
    });
}

void frmCountImport::setPlan(CountImportPlan plan)
{
    m_plan = std::move(plan);
    m_applied = false;
    showPlan();
}

void frmCountImport::showPlan()
{
    m_model->setLines(&m_plan.lines());
    const CountImportPlan::Totals &t = m_plan.totals();
    QString text;
    if (!m_plan.fileError().isEmpty()) {
        text = m_plan.fileError();
    } else if (t.read > 0) {
        text = QStringLiteral("共 %1 行：可匯入 %2 行（盤點 %3 列，新增物料 %4 項，數量合計 %5），"
                              "未匯入 %6 行。")
                   .arg(t.read)
                   .arg(t.accepted)
                   .arg(t.rowsCounted)
                   .arg(t.itemsToAdd)
                   .arg(NumText(t.qty))
                   .arg(t.refused);
        if (m_plan.file().headerLineNo > 0)
            text += QStringLiteral("第 %1 行為標題行。").arg(m_plan.file().headerLineNo);
        text += m_plan.file().encoding == CountFile::Encoding::Big5
                    ? QStringLiteral("檔案編碼 Big5。")
                    : QStringLiteral("檔案編碼 UTF-8。");
    }
    lblTotals->setText(text);
    setBusy(false);
    if (m_model->rowCount() > 0)
        fgImport->selectRow(0);
    fgImport->setFocus();
}

void frmCountImport::setBusy(bool busy)
{
    prgImport->setVisible(busy);
    cmdApply->setEnabled(!busy && m_plan.hasAccepted() && !m_applied);
    cmdSaveRefused->setEnabled(!busy && m_plan.totals().refused > 0);
    cmdCancel->setEnabled(!busy);
}

void frmCountImport::cmdApply_Click()
{
    if (!cmdApply->isEnabled())
        return;
    setBusy(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool written =
        ReportErrors(label("cmdApply_Click"), [&] { return m_apply(m_plan, &error); });
    QApplication::restoreOverrideCursor();
    m_applied = written;
    setBusy(false);
    if (written) {
        accept();
        return;
    }
    // A thrown error was shown by the report; a refusal is shown here. Nothing was written.
    if (!error.isEmpty())
        MsgBox::show(error, MsgBox::Icon::Warning, Title);
}

void frmCountImport::cmdSaveRefused_Click()
{
    if (!cmdSaveRefused->isEnabled())
        return;
    const QFileInfo source(m_path);
    const QString proposed = source.dir().filePath(
        (m_path.isEmpty() ? QStringLiteral("盤點檔") : source.completeBaseName()) +
        QStringLiteral("_未匯入.csv"));
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("dlgFile"));
    // Qt's own dialog: the same on every platform, and drivable offscreen.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowTitle(cmdSaveRefused->text());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("文字檔 (*.csv *.txt)"), QStringLiteral("所有檔案 (*)")});
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    saveRefused(dialog.selectedFiles().constFirst());
}

bool frmCountImport::saveRefused(const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_plan.refusedFile()) < 0 ||
        !file.commit()) {
        MsgBox::show(QStringLiteral("無法儲存檔案「%1」：%2").arg(path, file.errorString()),
                     MsgBox::Icon::Warning, Title);
        return false;
    }
    lblTotals->setText(lblTotals->text() + QStringLiteral("\n未匯入的 %1 行已存至 %2")
                                               .arg(m_plan.totals().refused)
                                               .arg(QDir::toNativeSeparators(path)));
    return true;
}

void frmCountImport::cmdCancel_Click()
{
    if (cmdCancel->isEnabled())
        reject();
}

void frmCountImport::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() & ~Qt::KeypadModifier)
            break;
        cmdApply_Click();
        event->accept();
        return;
    case Qt::Key_Escape:
        cmdCancel_Click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
