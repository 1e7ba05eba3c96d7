#include "support/suitetables.h"

#include <QStringList>
#include <vector>

namespace {

enum class Kind { RecordNumber, Text, Number, Date, DateTime };

struct Column
{
    const char *name;
    Kind kind;
};

struct Table
{
    const char *name;
    std::vector<Column> columns;
};

constexpr Kind T = Kind::Text, N = Kind::Number, D = Kind::Date, DT = Kind::DateTime;

const Table kBusiness[] = {
    {"STOCK",
     {{"RNo", Kind::RecordNumber},
      {"DeptNo", T},
      {"StkDate", D},
      {"STKNo", T},
      {"LastQty", N},
      {"LastAmt", N},
      {"InQty", N},
      {"InAmt", N},
      {"OutQty", N},
      {"OutAmt", N},
      {"LostQty", N},
      {"LostAmt", N},
      {"ChkQty", N},
      {"AdjustQty", N},
      {"UseQty", N},
      {"STKQty", N},
      {"STKAmt", N},
      {"AvgPrice", N},
      {"UserID", T},
      {"UpdUserID", T},
      {"FileDate", DT},
      {"UpdDate", DT}}},
    {"STK",
     {{"STKNo", T},
      {"STKName", T},
      {"STKDscp", T},
      {"Unit", T},
      {"UUnit", T},
      {"UQty", N},
      {"STKFlag", T},
      {"LType", T},
      {"Buyprice", N},
      {"AvgPrice", N}}},
    {"SIN",
     {{"DeptNo", T},
      {"SuppNo", T},
      {"STKNo", T},
      {"SINDate", D},
      {"InQty", N},
      {"InAmt", N},
      {"RcvQty", N},
      {"inprice", N},
      {"SlipType", T}}},
    {"SOut",
     {{"DeptNo", T},
      {"SuppNo", T},
      {"STKNo", T},
      {"SOutDate", D},
      {"OutQty", N},
      {"OutAmt", N},
      {"SlipType", T}}},
    {"Corp", {{"CompNo", T}, {"compname", T}, {"CompSName", T}, {"DeptNo", T}, {"StockNo", N}}},
    {"xxCODE", {{"CodeType", T}, {"Code", T}, {"Dscp", T}}},
    {"xxPARAM", {{"ParamID", T}, {"ParamValue", T}}},
};

const Table kMenu[] = {
    {"JX_User", {{"UserID", T}}},
    {"JX_Right",
     {{"GrpID", T},
      {"ProgID", T},
      {"RFlag", T},
      {"AFlag", T},
      {"QFlag", T},
      {"UFlag", T},
      {"DFlag", T},
      {"PFlag", T}}},
};

QString typeOf(Kind kind, bool sqlite)
{
    switch (kind) {
    case Kind::RecordNumber:
        return sqlite ? QStringLiteral("INTEGER PRIMARY KEY")
                      : QStringLiteral("integer GENERATED ALWAYS AS IDENTITY PRIMARY KEY");
    case Kind::Text:
        return QStringLiteral("VARCHAR");
    case Kind::Number:
        return QStringLiteral("NUMERIC");
    case Kind::Date:
        return sqlite ? QStringLiteral("TEXT") : QStringLiteral("date");
    case Kind::DateTime:
        return sqlite ? QStringLiteral("TEXT") : QStringLiteral("timestamp");
    }
    return QString();
}

} // namespace

QString SuiteTablesScript(Backend backend, SuiteTables tables)
{
    const bool sqlite = backend == Backend::SQLite;
    QString script;
    const auto add = [&](const Table &table) {
        QStringList columns;
        for (const Column &c : table.columns)
            columns << QLatin1String(c.name) + QLatin1Char(' ') + typeOf(c.kind, sqlite);
        script += QStringLiteral("CREATE TABLE ") + QLatin1String(table.name) +
                  QStringLiteral(" (\n    ") + columns.join(QStringLiteral(",\n    ")) +
                  QStringLiteral("\n);\n");
    };
    if (tables == SuiteTables::Business)
        for (const Table &t : kBusiness)
            add(t);
    else
        for (const Table &t : kMenu)
            add(t);
    return script;
}
