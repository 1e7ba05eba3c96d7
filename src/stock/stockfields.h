#pragma once

#include "stock/fdstock.h"
#include "stock/stockcolumns.h"

#include <algorithm>
#include <array>
#include <variant>

// One field of the STOCK record: its column in STOCK, its member of StockRecord, what it
// holds and the stock grid's column that shows it.
struct StockField
{
    enum Kind {
        RecordNumber, // assigned by the database when the record is inserted
        Text,
        Date,
        Quantity, // in the item's stock unit; the grid may show it in the use unit
        Amount,
        Price, // per stock unit; the grid shows it per display unit
    };
    using Member =
        std::variant<double StockRecord::*, QString StockRecord::*, QDate StockRecord::*>;

    const char *column;
    Member member;
    Kind kind;
    int gridColumn; // StockColumns::Column, -1 when the grid does not show the field

    constexpr bool isFigure() const { return kind >= Quantity; }
    constexpr double StockRecord::*figure() const
    {
        return std::get<double StockRecord::*>(member);
    }
};

// The record's fields in StockRecord's order, the one list of them: the statements that read
// and insert records, the reading, the comparison of two readings and the month's figure
// columns all go by it. A new field is a member of StockRecord and a line here.
inline constexpr std::array StockFields{
    StockField{"RNo", &StockRecord::Rno, StockField::RecordNumber, StockColumns::ColRNo},
    StockField{"DeptNo", &StockRecord::DeptNo, StockField::Text, StockColumns::ColDeptNo},
    StockField{"StkDate", &StockRecord::StkDate, StockField::Date, StockColumns::ColStkDate},
    StockField{"STKNo", &StockRecord::STKNo, StockField::Text, StockColumns::ColSTKNo},
    StockField{"LastQty", &StockRecord::LastQty, StockField::Quantity, StockColumns::ColLastQty},
    StockField{"LastAmt", &StockRecord::LastAmt, StockField::Amount, StockColumns::ColLastAmt},
    StockField{"InQty", &StockRecord::InQty, StockField::Quantity, StockColumns::ColInQty},
    StockField{"InAmt", &StockRecord::InAmt, StockField::Amount, StockColumns::ColInAmt},
    StockField{"OutQty", &StockRecord::OutQty, StockField::Quantity, StockColumns::ColOutQty},
    StockField{"OutAmt", &StockRecord::OutAmt, StockField::Amount, StockColumns::ColOutAmt},
    StockField{"ChkQty", &StockRecord::ChkQty, StockField::Quantity, StockColumns::ColChkQty},
    StockField{"AdjustQty", &StockRecord::AdjustQty, StockField::Quantity,
               StockColumns::ColAdjustQty},
    StockField{"UseQty", &StockRecord::UseQty, StockField::Quantity, StockColumns::ColUseQty},
    StockField{"LostQty", &StockRecord::LostQty, StockField::Quantity, StockColumns::ColLostQty},
    StockField{"LostAmt", &StockRecord::LostAmt, StockField::Amount, -1},
    StockField{"STKQty", &StockRecord::STKQty, StockField::Quantity, StockColumns::ColSTKQty},
    StockField{"STKAmt", &StockRecord::STKAmt, StockField::Amount, StockColumns::ColSTKAmt},
    StockField{"AvgPrice", &StockRecord::AvgPrice, StockField::Price, StockColumns::ColAvgPrice},
    StockField{"UserID", &StockRecord::UserID, StockField::Text, StockColumns::ColUserID},
    StockField{"UpdUserID", &StockRecord::UpdUserID, StockField::Text, StockColumns::ColUpdUserID},
};

static_assert(
    std::ranges::all_of(StockFields,
                        [](const StockField &f) {
                            switch (f.kind) {
                            case StockField::Text:
                                return std::holds_alternative<QString StockRecord::*>(f.member);
                            case StockField::Date:
                                return std::holds_alternative<QDate StockRecord::*>(f.member);
                            default:
                                return std::holds_alternative<double StockRecord::*>(f.member);
                            }
                        }),
    "a field's kind matches its member's type");

// Calls visitor with the field's value in record: a double, QString or QDate, by reference
// (const when record is).
template <typename Record, typename Visitor>
decltype(auto) VisitStockField(const StockField &field, Record &record, Visitor &&visitor)
{
    return std::visit([&](auto member) -> decltype(auto) { return visitor(record.*member); },
                      field.member);
}

namespace StockFieldsDetail {

// Field index by grid column, -1 for the columns of the item master.
inline constexpr auto FieldOfColumn = [] {
    std::array<int, StockColumns::ColumnCount> of{};
    of.fill(-1);
    for (size_t i = 0; i < StockFields.size(); ++i) {
        const int col = StockFields[i].gridColumn;
        if (col >= 0) {
            if (of[size_t(col)] >= 0)
                throw "two fields shown in one grid column";
            of[size_t(col)] = int(i);
        }
    }
    return of;
}();

} // namespace StockFieldsDetail

// The field a stock grid column shows; nullptr for the item master's columns and others.
constexpr const StockField *StockFieldOfColumn(int col)
{
    if (col < 0 || col >= StockColumns::ColumnCount)
        return nullptr;
    const int i = StockFieldsDetail::FieldOfColumn[size_t(col)];
    return i < 0 ? nullptr : &StockFields[size_t(i)];
}
