#pragma once

// The columns of the month's stock grid, shared by the stock window and its printouts.
struct StockColumns
{
    enum Column {
        ColRNo = 0,
        ColDeptNo,
        ColStkDate,
        ColSTKNo,
        ColName,
        ColDscp,
        ColUnit,
        ColFlag,
        ColLastQty,
        ColLastAmt,
        ColInQty,
        ColInAmt,
        ColOutQty,
        ColOutAmt,
        ColLostQty,
        ColChkQty,
        ColAdjustQty,
        ColUseQty,
        ColSTKQty,
        ColSTKAmt,
        ColAvgPrice,
        ColUserID,
        ColUpdUserID,
        ColLType,
        ColumnCount
    };
};
