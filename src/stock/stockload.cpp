#include "stock/stockload.h"

#include "common/dates.h"
#include "common/errorreport.h"
#include "common/numtext.h"
#include "common/state.h"
#include "data/adodb.h"
#include "platform/db/rowreader.h"
#include "stock/stockcolumns.h"
#include "stock/stockfields.h"

#include <QHash>

namespace {

QString itemSelect()
{
    return QStringLiteral("Select StkNo, StkName , STKDscp , Unit ,STKFlag , "
                          "uunit , uqty , LType From STK");
}

// The stamp's place in StockRecordSelect(): after the record's fields.
constexpr int UpdDateField = int(StockFields.size());

// Reads a field's value from a Recordset (one record) or a RowReader (a month's rows); both
// give a field's text by the same rule and NULL figures as 0.
template <typename Source> struct FieldReader
{
    Source &rs;
    int field;
    void operator()(double &value) const { value = rs.number(field); }
    void operator()(QString &text) const { text = rs.text(field); }
    void operator()(QDate &date) const { date = ParseDate(rs.value(field)).value_or(QDate()); }
};

// The record at the current row of StockRecordSelect().
template <typename Source> StockRecord readRecord(Source &rs, QString *updDate)
{
    StockRecord r;
    for (int i = 0; i < UpdDateField; ++i)
        VisitStockField(StockFields[size_t(i)], r, FieldReader<Source>{rs, i});
    if (updDate)
        *updDate = rs.text(UpdDateField);
    return r;
}

// The item fields of the current record (itemSelect() order) into the row.
template <typename Source> void completeRow(StockRow &row, Source &item, bool useUnit)
{
    row.name = item.text(1);
    row.dscp = item.text(2);
    row.unit = item.text(3);
    row.flag = item.text(4);
    row.lType = item.text(7);
    row.factor = 1;
    const QString useUnitName = item.text(5);
    if (useUnit && !useUnitName.isEmpty()) {
        double factor = item.number(6);
        if (factor == 0) {
            WriteLog(QStringLiteral("未設定換算數量:") + row.name + QLatin1Char('(') +
                     item.text(0) + QLatin1Char(')'));
            factor = 1;
        }
        row.factor = factor;
        row.unit = useUnitName;
    }
}

} // namespace

QString StockRecordSelect()
{
    static const QString select = [] {
        QStringList columns;
        for (const StockField &field : StockFields)
            columns << QLatin1String(field.column);
        columns << QStringLiteral("UpdDate");
        return QStringLiteral("Select ") + columns.join(QStringLiteral(" , ")) +
               QStringLiteral(" From STOCK ");
    }();
    return select;
}

QString ItemOrder()
{
    return QStringLiteral(" Order by STKNo ");
}

QString MonthItemsSelect(const QString &conditions)
{
    return itemSelect() + QStringLiteral(" Where STKNo in ( Select STKNo From STOCK ") +
           conditions + QStringLiteral(" )");
}

StockRecord ReadStockRecord(const Ado::Recordset &rs, QString *updDate)
{
    return readRecord(rs, updDate);
}

void LoadStockRows(const Ado::ConnectionPtr &connection, const QString &conditions,
                   const QString &order, StockMonth &month,
                   const std::function<void(int rowsRead)> &progress)
{
    {
        Ado::RowReader rs(*connection, StockRecordSelect() + conditions + order);
        while (rs.next()) {
            StockRow row;
            row.stored = readRecord(rs, &row.updDate);
            month.append(std::move(row));
            if (progress && (month.size() & 1023) == 0)
                progress(month.size());
        }
    }
    if (progress)
        progress(month.size());
    if (month.size() == 0)
        return;

    // Only the items the month holds are read from the master. In item order both reads come
    // in the database's order of item numbers and every item read is one the month holds: a
    // walk down the month finds each item's rows. Otherwise, or should the walk ever miss,
    // the rows are found through a table of them by item number.
    const bool inItemOrder = order == ItemOrder();
    Ado::RowReader item(*connection,
                        MonthItemsSelect(conditions) + (inItemOrder ? order : QString()));
    QMultiHash<QString, int> rowsOfItem;
    const auto hashRows = [&] {
        rowsOfItem.reserve(month.size());
        for (int i = 0; i < month.size(); ++i)
            rowsOfItem.insert(month.text(i, StockColumns::ColSTKNo), i);
    };
    if (!inItemOrder)
        hashRows();
    int walk = 0;
    const bool useUnit = month.useUnit();
    while (item.next()) {
        const QString no = item.text(0);
        StockRow fields;
        completeRow(fields, item, useUnit);
        if (rowsOfItem.isEmpty()) {
            while (walk < month.size() && month.text(walk, StockColumns::ColSTKNo) != no)
                ++walk;
            if (walk < month.size()) {
                for (; walk < month.size() && month.text(walk, StockColumns::ColSTKNo) == no;
                     ++walk)
                    month.setItemFields(walk, fields);
                continue;
            }
            hashRows();
        }
        for (auto it = rowsOfItem.constFind(no); it != rowsOfItem.cend() && it.key() == no; ++it)
            month.setItemFields(it.value(), fields);
    }
    // The month's pages are read: the database's cache of them would only add to the peak
    // while the grid is filled.
    connection->releaseMemory();
}

int CountStockRows(const Ado::ConnectionPtr &connection, const QString &conditions)
{
    Ado::Recordset rs =
        connection->execute(QStringLiteral("Select count(*) From STOCK ") + conditions);
    return rs.eof() ? 0 : int(rs.number(0));
}

void CompleteFromItem(const Ado::ConnectionPtr &connection, StockRow &row, bool useUnit)
{
    Ado::Recordset item = connection->execute(itemSelect() + QStringLiteral(" Where STKNo = ") +
                                              QuotField(row.stored.STKNo));
    if (!item.eof())
        completeRow(row, item, useUnit);
}

bool ReadStockRecordByRno(const Ado::ConnectionPtr &connection, double rno, bool forUpdate,
                          StockRecord &record, QString &updDate)
{
    QString sql = StockRecordSelect() + QStringLiteral(" Where RNo = ") + NumText(rno);
    if (forUpdate) {
        if (Dialect().gsDBType == QLatin1String("PG_SQL")) {
            sql += QStringLiteral(" For Update");
        } else {
            // Elsewhere a write takes the lock: the record cannot change before the
            // transaction ends (SQLite: the write transaction begins here). It writes a plain
            // column: SQL Server refuses to update an identity column, Access an AutoNumber.
            connection->executeNonQuery(
                QStringLiteral("Update STOCK set UpdUserID = UpdUserID Where RNo = ") +
                NumText(rno));
        }
    }
    Ado::Recordset rs = connection->execute(sql);
    if (rs.eof())
        return false;
    record = ReadStockRecord(rs, &updDate);
    return true;
}
