#include "e2e_common.h"

#include "common/numtext.h"
#include "xsession.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>

namespace E2E {

QString artifactDir(const QString &run)
{
    const QString dir = QStringLiteral(TOVRAN_ARTIFACT_DIR "/e2e/") + run;
    QDir().mkpath(dir);
    return dir;
}

QString lastMonthYear()
{
    return QString::number(QDate::currentDate().addMonths(-1).year() - 1911);
}

QString lastMonthMonth()
{
    return QString::number(QDate::currentDate().addMonths(-1).month());
}

QString pdfText(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-enc"), QStringLiteral("UTF-8"), file, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList csvLines(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray data = f.readAll();
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    return QString::fromUtf8(data).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

QStringList csvRow(const QStringList &lines, const QString &first)
{
    for (const QString &line : lines) {
        const QStringList fields = line.split(QLatin1Char(','));
        if (!fields.isEmpty() && fields.front().trimmed() == first)
            return fields;
    }
    return {};
}

bool isToday(const QString &dateText)
{
    QString digits;
    for (QChar c : dateText)
        if (c.isDigit())
            digits += c;
    return digits.startsWith(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
}

QString scalar(const Ado::ConnectionPtr &db, const QString &sql)
{
    Ado::Recordset rs = db->execute(sql);
    return rs.eof() ? QStringLiteral("<no row>") : rs.text(0);
}

QString waitScalar(const Ado::ConnectionPtr &db, const QString &sql, const QString &expected,
                   int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QString last;
    do {
        last = scalar(db, sql);
        if (last == expected)
            return last;
        Pause(250);
    } while (!deadline.hasExpired());
    return last;
}

int errRecords(const QByteArray &errFile)
{
    return QString::fromUtf8(errFile).count(QStringLiteral("**記錄時間 - "));
}

} // namespace E2E
