#pragma once

#include "platform/db/connection.h"

#include <QString>

class FlexGrid;

// Loading query results into grids: one record per row, one field per column in the
// field order of the query. Every value is its own cell, so text holding a TAB stays in
// its column. Each new row gets the row data value 9 (callers that use row data set their
// own). Redraw is off while the rows are added and on afterwards.

// Runs pvSQL on Conn().gCNT and replaces the grid's data rows by the records; the column count
// becomes the field count when records arrived. True when at least one record arrived;
// rowCount then receives the number of records + 1. The first data row becomes current.
// Errors are shown under "FGLoad" + CR LF + "pvSQL:" + pvSQL; the grid is left empty.
bool FGLoad(FlexGrid *grid, const QString &pvSQL, int *rowCount = nullptr);

// Fills the grid from an open recordset: row 0 gets the field names, then one row per
// record. True when it held at least one record; rowCount then receives the number of
// records. A closed or empty recordset only turns redraw on. The recordset stays open
// (the caller owns it), positioned after its last record. Errors: "FGLoadRST".
bool FGLoadRST(FlexGrid *grid, Ado::Recordset &rs, int *rowCount = nullptr);

// Turns the grid's redraw off for its lifetime: it is back on however the filling ends,
// before an error is reported.
class GridRedrawOff
{
public:
    explicit GridRedrawOff(FlexGrid *grid);
    ~GridRedrawOff();
    GridRedrawOff(const GridRedrawOff &) = delete;
    GridRedrawOff &operator=(const GridRedrawOff &) = delete;

private:
    FlexGrid *m_grid;
};

// Appends the recordset's remaining records as rows (row data 9) and returns how many.
// The building block of the loaders above and of the pickers' own loaders; throws RunError.
int AddRecordRows(FlexGrid *grid, Ado::Recordset &rs);
