#pragma once

#include "platform/grid/flexgrid.h"
#include "platform/print/pdftext.h"
#include "printing/previewwindow.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// A stock grid laid out like the stock window's: 24 columns, row 0 the titles.
inline std::unique_ptr<FlexGrid> MakeStockGrid(int rows)
{
    auto grid = std::make_unique<FlexGrid>();
    grid->setCols(24);
    grid->setFixedRows(1);
    grid->setRows(1);
    for (int c = 0; c < 24; ++c)
        grid->setTextMatrix(0, c, QStringLiteral("欄%1").arg(c));
    grid->setTextMatrix(0, 3, QStringLiteral("料號"));
    grid->setTextMatrix(0, 4, QStringLiteral("物料名稱"));
    grid->setTextMatrix(0, 5, QStringLiteral("規格"));
    grid->setTextMatrix(0, 6, QStringLiteral("單位"));
    QList<QStringList> data;
    for (int r = 1; r <= rows; ++r) {
        QStringList cells;
        for (int c = 0; c < 24; ++c)
            cells.append(QStringLiteral("%1.%2").arg(r).arg(c));
        cells[3] = QStringLiteral("M%1").arg(r, 5, 10, QLatin1Char('0'));
        cells[4] = QStringLiteral("麵粉%1").arg(r);
        cells[5] = QStringLiteral("25kg");
        cells[6] = QStringLiteral("包");
        data.append(cells);
    }
    grid->addRows(data);
    return grid;
}

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
