#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <functional>

// A handheld terminal's count file: one count a line, "item,quantity[,location]".
//
// - Encoding: UTF-8 (with or without a byte-order mark) or Big5 (code page 950). Bytes that
//   are valid UTF-8 are read as UTF-8 (Big5 Chinese is almost never valid UTF-8), else as
//   Big5; a file that is neither, or holds NUL bytes or a UTF-16 mark, is refused whole.
// - Separator: one for the whole file, the first of tab, semicolon and comma that the
//   first non-blank line holds (tab first: a tab is never part of a typed value; comma
//   last: the one most likely inside a value of the others). A line written with another
//   separator is then a broken line, not silently read another way. A field may be put
//   in double quotes ("" is a quote inside them), as spreadsheets write a field holding
//   the separator.
// - Header: the first non-blank line is a header when its quantity is not a number and
//   one of its fields names a column (item, qty, location, 品號, 數量, 區位, ...). Any
//   other line with a quantity that is not a number is refused.
// - Blank lines (nothing but spaces and separators) are skipped. Fields are trimmed; quantities
// take a
//   decimal point (full-width digits read as ASCII), no sign, grouping or exponent.
struct CountFileLine
{
    int lineNo = 0; // 1-based, counting every line of the file
    QString raw;    // the line as read, without its end of line
    QString item;
    QString location; // empty when the line has none
    double qty = 0;   // as written (display units)
    QString error;    // why the line is refused, naming its number; empty when good

    bool isGood() const { return error.isEmpty(); }
};

struct CountFile
{
    enum class Encoding { None, Utf8, Big5 };

    Encoding encoding = Encoding::None;
    QChar separator = QLatin1Char(',');
    int headerLineNo = 0;       // 0: no header
    QString header;             // the header line as read
    QList<CountFileLine> lines; // every non-blank line but the header, in file order
    QString error;              // the file refused whole (nothing in lines)
};

// The largest quantity a count line takes.
constexpr double CountFileMaxQty = 9999999.99;

// Reads the file's bytes. progress(linesDone, linesTotal) every few hundred lines.
CountFile ParseCountFile(const QByteArray &bytes,
                         const std::function<void(int done, int total)> &progress = {});
// The same for a file on disk; a file that cannot be read is refused whole.
CountFile ReadCountFile(const QString &path,
                        const std::function<void(int done, int total)> &progress = {});
