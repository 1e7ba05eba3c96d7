#include "stockwindow/countlinesbar.h"

#include "data/adodb.h"
#include "platform/settingsstore.h"
#include "stock/countlines.h"
#include "stockwindow/windowcontrols.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

namespace {

// As the database will store it (the quoting's rules), so that the line found again by its
// location is the one written.
QString safeLocation(const QString &typed)
{
    QString text = typed;
    text.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    return FieldText(FieldText(text).left(CountLocationLength));
}

} // namespace

using WindowControls::named;

CountLinesBar::CountLinesBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("elaCount"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    txtLocation = named(new QLineEdit, QStringLiteral("txtLocation"));
    txtLocation->setMaxLength(CountLocationLength);
    txtLocation->setMaximumWidth(160);
    chkScanCount = named(new QCheckBox(QStringLiteral("逐件掃描")), QStringLiteral("chkScanCount"));
    cmdCountHistory =
        named(new QPushButton(QStringLiteral("盤點紀錄(F9)")), QStringLiteral("cmdCountHistory"));
    cmdImport = named(new QPushButton(QStringLiteral("匯入盤點檔")), QStringLiteral("cmdImport"));
    cmdCountDetail =
        named(new QPushButton(QStringLiteral("盤點明細表")), QStringLiteral("cmdCountDetail"));
    lblCountLines = named(new QLabel, QStringLiteral("lblCountLines"));
    lblCountLines->setTextFormat(Qt::PlainText);
    row->addWidget(named(new QLabel(QStringLiteral("盤點區位:")), QStringLiteral("lblLocation")));
    row->addWidget(txtLocation);
    row->addWidget(chkScanCount);
    row->addWidget(cmdCountHistory);
    row->addWidget(cmdImport);
    row->addWidget(cmdCountDetail);
    row->addSpacing(12);
    row->addWidget(lblCountLines, 1);

    connect(txtLocation, &QLineEdit::editingFinished, this, [this] {
        const QString safe = location();
        if (safe != txtLocation->text())
            txtLocation->setText(safe); // what is stored is what the clerk sees
        saveLocation();
        Q_EMIT locationChanged(safe);
    });
    connect(cmdCountHistory, &QPushButton::clicked, this, &CountLinesBar::historyRequested);
    connect(cmdImport, &QPushButton::clicked, this, &CountLinesBar::importRequested);
    connect(cmdCountDetail, &QPushButton::clicked, this, &CountLinesBar::detailRequested);
    auto *history = new QShortcut(QKeySequence(Qt::Key_F9), this);
    history->setContext(Qt::WindowShortcut);
    connect(history, &QShortcut::activated, this, [this] {
        if (cmdCountHistory->isEnabled())
            Q_EMIT historyRequested();
    });
}

QString CountLinesBar::location() const
{
    return safeLocation(txtLocation->text());
}

bool CountLinesBar::scanCounting() const
{
    return chkScanCount->isChecked();
}

void CountLinesBar::restoreLocation()
{
    txtLocation->setText(safeLocation(
        GetSetting(QStringLiteral("TOVRAN"), QStringLiteral("Count"), QStringLiteral("Location"))));
    Q_EMIT locationChanged(location());
}

void CountLinesBar::saveLocation() const
{
    SaveSetting(QStringLiteral("TOVRAN"), QStringLiteral("Count"), QStringLiteral("Location"),
                location());
}

void CountLinesBar::showLines(const QString &lines)
{
    QString oneLine = lines;
    oneLine.replace(QLatin1Char('\n'), QStringLiteral(" ｜ "));
    lblCountLines->setText(oneLine.isEmpty() ? QString() : QStringLiteral("盤點明細: ") + oneLine);
    lblCountLines->setToolTip(lines);
}

void CountLinesBar::setLinesOff()
{
    for (QWidget *w : {static_cast<QWidget *>(txtLocation), static_cast<QWidget *>(chkScanCount),
                       static_cast<QWidget *>(cmdCountHistory), static_cast<QWidget *>(cmdImport),
                       static_cast<QWidget *>(cmdCountDetail)})
        w->setEnabled(false);
    lblCountLines->setText(QStringLiteral("盤點區位與盤點紀錄未啟用 (無法建立 STOCKCNT)"));
}
