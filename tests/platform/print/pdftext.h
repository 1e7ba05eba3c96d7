#pragma once

// Reading printed PDF files back with poppler's pdftotext and pdfinfo.
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <ostream>

// Readable QString values in test failure messages.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace PdfText {

// A word as pdftotext -bbox reports it: page (1-based) and box in points from the top left.
struct Word
{
    int page = 0;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    QString text;
};

inline QString run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of the pages first..last (0 = all), page breaks as form feeds.
inline QString text(const QString &pdf, int first = 0, int last = 0)
{
    QStringList args;
    if (first > 0)
        args << QStringLiteral("-f") << QString::number(first);
    if (last > 0)
        args << QStringLiteral("-l") << QString::number(last);
    args << QStringLiteral("-enc") << QStringLiteral("UTF-8") << pdf << QStringLiteral("-");
    return run(QStringLiteral("pdftotext"), args);
}

inline int pages(const QString &pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
            .match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

inline QString unescape(QString s)
{
    s.replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&apos;"), QLatin1String("'"))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
    return s;
}

inline QList<Word> words(const QString &pdf)
{
    QList<Word> result;
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-enc"),
                                          QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    static const QRegularExpression tag(
        QStringLiteral("<page |<word xMin=\"([-\\d.]+)\" yMin=\"([-\\d.]+)\" xMax=\"([-\\d.]+)\" "
                       "yMax=\"([-\\d.]+)\">([^<]*)</word>"));
    int page = 0;
    auto it = tag.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        Word w;
        w.page = page;
        w.xMin = m.captured(1).toDouble();
        w.yMin = m.captured(2).toDouble();
        w.xMax = m.captured(3).toDouble();
        w.yMax = m.captured(4).toDouble();
        w.text = unescape(m.captured(5));
        result.append(w);
    }
    return result;
}

// Words on one page whose text equals the given text.
inline QList<Word> find(const QList<Word> &all, const QString &text, int page = 0)
{
    QList<Word> found;
    for (const Word &w : all)
        if (w.text == text && (page == 0 || w.page == page))
            found.append(w);
    return found;
}

// The words grouped into printed lines (same page, overlapping heights), each line's words
// left to right joined by one blank, lines top to bottom.
inline QStringList lines(QList<Word> all)
{
    std::stable_sort(all.begin(), all.end(), [](const Word &a, const Word &b) {
        if (a.page != b.page)
            return a.page < b.page;
        return a.yMin < b.yMin;
    });
    QStringList result;
    int i = 0;
    while (i < all.size()) {
        QList<Word> line{all[i]};
        const double middle = (all[i].yMin + all[i].yMax) / 2;
        int j = i + 1;
        while (j < all.size() && all[j].page == all[i].page && all[j].yMin < middle)
            line.append(all[j++]);
        std::sort(line.begin(), line.end(),
                  [](const Word &a, const Word &b) { return a.xMin < b.xMin; });
        QStringList texts;
        for (const Word &w : line)
            texts.append(w.text);
        result.append(texts.join(QLatin1Char(' ')));
        i = j;
    }
    return result;
}

} // namespace PdfText
