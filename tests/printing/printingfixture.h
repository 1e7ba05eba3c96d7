#pragma once

#include "platform/grid/flexgrid.h"
#include "platform/print/pdftext.h"
#include "printing/previewwindow.h"
#include "stock/stockmonth.h"

#include "common/clock.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPushButton>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

// A loaded month for the printouts, addressed like the stock grid (row r from 1, the
// columns of the stock window): row r holds item M0000r, 麵粉r, 25kg, 包, and the figure of
// column c is r.c (r + c/10 below column 10, r + c/100 from it on).
class TestStockMonth
{
public:
    explicit TestStockMonth(int rows)
    {
        for (int r = 1; r <= rows; ++r) {
            StockRow row;
            row.stored.Rno = r;
            row.stored.DeptNo = QStringLiteral("A01");
            row.stored.STKNo = QStringLiteral("M%1").arg(r, 5, 10, QLatin1Char('0'));
            row.name = QStringLiteral("麵粉%1").arg(r);
            row.dscp = QStringLiteral("25kg");
            row.unit = QStringLiteral("包");
            row.flag = QStringLiteral("Y");
            for (int c = 8; c <= 20; ++c)
                StockMonth::storedFigure(row.stored, c) = r + (c < 10 ? c / 10.0 : c / 100.0);
            m_rows.push_back(row);
        }
    }
    StockRow &row(int r) { return m_rows[size_t(r - 1)]; }
    void setColHidden(int col, bool hidden = true)
    {
        if (hidden)
            m_hiddenCols.insert(col);
        else
            m_hiddenCols.remove(col);
    }
    void setRowHidden(int r, bool hidden = true)
    {
        if (hidden)
            m_hiddenRows.insert(r);
        else
            m_hiddenRows.remove(r);
    }
    // The month as the printouts take it: visible rows (or all) and visible columns.
    const StockMonthSelection &selection(bool visibleRowsOnly = true)
    {
        m_month.reset({2013, 5, QStringLiteral("A01"), QDate(2013, 5, 31)}, false);
        m_selection = {&m_month, {}, {}};
        for (size_t i = 0; i < m_rows.size(); ++i) {
            const int index = m_month.append(m_rows[i]);
            if (!visibleRowsOnly || !m_hiddenRows.contains(int(i) + 1))
                m_selection.rows.append(index);
        }
        for (int c = 0; c < 24; ++c)
            if (!m_hiddenCols.contains(c))
                m_selection.columns.append(c);
        return m_selection;
    }

private:
    std::vector<StockRow> m_rows;
    QSet<int> m_hiddenRows, m_hiddenCols;
    StockMonth m_month;
    StockMonthSelection m_selection;
};

// An RFC 4180 reader written for the tests, independent of the program's CSV code.
inline QList<QStringList> ParseRfc4180(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false, any = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        any = true;
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            row.append(field);
            field.clear();
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                   text[i + 1] == QLatin1Char('\n')) {
            row.append(field);
            rows.append(row);
            row.clear();
            field.clear();
            any = false;
            ++i;
        } else {
            field += c;
        }
    }
    if (any) {
        row.append(field);
        rows.append(row);
    }
    return rows;
}

inline QPushButton *Button(PreviewWindow &w, const char *name)
{
    return w.findChild<QPushButton *>(QLatin1String(name));
}

inline QStringList PdfFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
}

// A test of a printout of the month in the plain preview window: printed on 2013/06/03 at
// 14:05:09, the window hidden again afterwards.
class MonthPrintoutTest : public ::testing::Test
{
protected:
    void SetUp() override { Clock::setNow(QDateTime(QDate(2013, 6, 3), QTime(14, 5, 9))); }
    void TearDown() override
    {
        Clock::setNow(QDateTime());
        frmVSPBlank().hide();
    }

    QTemporaryDir dir;
};
