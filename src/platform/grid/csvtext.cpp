#include "platform/grid/csvtext.h"

#include "platform/grid/gridmodel.h"

#include <QFile>
#include <QSaveFile>

QString CsvField(const QString &text)
{
    QString field = text;
    if (!field.isEmpty() && QStringLiteral("=+-@").contains(field.front()) && !LooksNumeric(field))
        field.prepend(QLatin1Char('\''));
    const bool quote = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                       field.contains(QLatin1Char('\r')) || field.contains(QLatin1Char('\n'));
    if (!quote)
        return field;
    field.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + field + QLatin1Char('"');
}

QString CsvLine(const QStringList &fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line.append(QLatin1Char(','));
        line.append(CsvField(fields[i]));
    }
    return line;
}

bool WriteCsvFile(const QString &fileName, const QList<QStringList> &lines)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QString text;
    for (const QStringList &fields : lines) {
        text.append(CsvLine(fields));
        text.append(QStringLiteral("\r\n"));
    }
    file.write("\xEF\xBB\xBF");
    file.write(text.toUtf8());
    return file.commit();
}

QList<QStringList> ParseCsv(const QString &input)
{
    QList<QStringList> lines;
    QStringView text(input);
    if (text.startsWith(QChar(0xFEFF)))
        text = text.mid(1);
    QStringList fields;
    QString field;
    bool quoted = false;
    bool lineStarted = false;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                    field.append(c);
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field.append(c);
            }
            continue;
        }
        lineStarted = true;
        if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields.append(field);
            field.clear();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            fields.append(field);
            field.clear();
            lines.append(fields);
            fields.clear();
            lineStarted = false;
        } else {
            field.append(c);
        }
    }
    if (lineStarted || quoted) {
        fields.append(field);
        lines.append(fields);
    }
    return lines;
}

QList<QStringList> ReadCsvFile(const QString &fileName, bool *ok)
{
    QFile file(fileName);
    const bool opened = file.open(QIODevice::ReadOnly);
    if (ok)
        *ok = opened;
    if (!opened)
        return {};
    return ParseCsv(QString::fromUtf8(file.readAll()));
}
