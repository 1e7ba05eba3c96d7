#include "stock/countimport.h"

#include "common/numtext.h"
#include "stock/stockcolumns.h"
#include "stock/stockmonth.h"

#include <QSet>

namespace {

constexpr int ProgressStep = 500;

using Outcome = CountImportLine::Outcome;

QString refusal(int lineNo, const QString &what)
{
    return QStringLiteral("第 %1 行：%2。").arg(lineNo).arg(what);
}

// The month's rows by item number (the first row of an item, should there be two).
QHash<QString, int> rowsByItem(const StockMonth &month)
{
    QHash<QString, int> rows;
    rows.reserve(month.size());
    for (int i = month.size() - 1; i >= 0; --i)
        rows.insert(month.text(i, StockColumns::ColSTKNo).trimmed(), i);
    return rows;
}

// A field of a written line, quoted when it holds the separator or a quote.
QString fieldText(const QString &text, QChar separator)
{
    if (!text.contains(separator) && !text.contains(u'"'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace

CountImportPlan::CountImportPlan(const CountFile &file, const StockMonth &month,
                                 const ItemExists &itemExists, bool pastDeadline,
                                 const Progress &progress)
    : m_file(file)
{
    const QHash<QString, int> rows = rowsByItem(month);
    QHash<QString, bool> inMaster;               // items the month lacks, as the master has them
    QHash<QPair<QString, QString>, int> firstOf; // (item, location) -> index in m_lines
    QSet<int> rowsCounted;
    QSet<QString> toAdd;
    const int total = int(m_file.lines.size());
    m_lines.reserve(total);
    for (const CountFileLine &fileLine : std::as_const(m_file.lines)) {
        if (progress && m_lines.size() % ProgressStep == 0)
            progress(int(m_lines.size()), total);
        CountImportLine line;
        line.line = fileLine;
        const int n = fileLine.lineNo;
        if (pastDeadline) {
            line.outcome = Outcome::PastDeadline;
            line.text = refusal(n, QStringLiteral("已超過盤點期限，無法匯入"));
        } else if (!fileLine.isGood()) {
            line.outcome = Outcome::BadLine;
            line.text = fileLine.error;
        } else if (const auto first = firstOf.constFind({fileLine.item, fileLine.location});
                   first != firstOf.cend()) {
            CountImportLine &earlier = m_lines[*first];
            earlier.total += fileLine.qty;
            line.outcome = Outcome::Duplicate;
            line.firstLineNo = earlier.line.lineNo;
            line.text = QStringLiteral("與第 %1 行重複，數量併入該行").arg(line.firstLineNo);
        } else if (const auto row = rows.constFind(fileLine.item); row != rows.cend()) {
            line.outcome = Outcome::Counted;
            line.row = *row;
            rowsCounted.insert(*row);
        } else {
            auto known = inMaster.constFind(fileLine.item);
            if (known == inMaster.cend())
                known = inMaster.insert(fileLine.item, itemExists && itemExists(fileLine.item));
            if (*known) {
                line.outcome = Outcome::ToAdd;
                if (!toAdd.contains(fileLine.item)) {
                    toAdd.insert(fileLine.item);
                    m_itemsToAdd.append(fileLine.item);
                }
            } else {
                line.outcome = Outcome::UnknownItem;
                line.text = refusal(n, QStringLiteral("物料「%1」不在物料主檔").arg(fileLine.item));
            }
        }
        if (line.outcome == Outcome::Counted || line.outcome == Outcome::ToAdd) {
            line.total = fileLine.qty;
            firstOf.insert({fileLine.item, fileLine.location}, int(m_lines.size()));
        }
        if (line.isAccepted()) {
            ++m_totals.accepted;
            m_totals.qty += fileLine.qty;
        } else {
            ++m_totals.refused;
        }
        m_lines.append(line);
    }
    // The first lines' texts, now that their duplicates are summed.
    for (CountImportLine &line : m_lines) {
        if (line.outcome != Outcome::Counted && line.outcome != Outcome::ToAdd)
            continue;
        line.text = line.outcome == Outcome::Counted ? QStringLiteral("計入本月盤點")
                                                     : QStringLiteral("新增物料至本月後計入");
        if (line.total != line.line.qty)
            line.text += QStringLiteral("，連同重複行合計 %1").arg(NumText(line.total));
    }
    m_totals.read = total;
    m_totals.rowsCounted = int(rowsCounted.size());
    m_totals.itemsToAdd = int(m_itemsToAdd.size());
    if (progress)
        progress(total, total);
}

std::optional<QList<StockCounting::ImportLine>>
CountImportPlan::importLines(const QHash<QString, int> &addedRows) const
{
    QList<StockCounting::ImportLine> lines;
    for (const CountImportLine &line : m_lines) {
        if (line.outcome != Outcome::Counted && line.outcome != Outcome::ToAdd)
            continue;
        int row = line.row;
        if (line.outcome == Outcome::ToAdd) {
            row = addedRows.value(line.line.item, -1);
            if (row < 0)
                return std::nullopt;
        }
        lines.append({row, line.line.location, line.total});
    }
    return lines;
}

QByteArray CountImportPlan::refusedFile() const
{
    const QChar sep = m_file.separator;
    const QString eol = QStringLiteral("\r\n");
    QString text;
    if (m_file.headerLineNo > 0)
        text += m_file.header + sep + QStringLiteral("未匯入原因") + eol;
    for (const CountImportLine &line : m_lines)
        if (!line.isAccepted())
            text += line.line.raw + sep + fieldText(line.text, sep) + eol;
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}
