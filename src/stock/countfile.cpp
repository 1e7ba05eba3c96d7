#include "stock/countfile.h"

#include "common/numtext.h"
#include "platform/codepagetext.h"
#include "stock/countlines.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <optional>

namespace {

constexpr int ProgressStep = 500;

const QString Shape = QStringLiteral("應為「品號,數量」或「品號,數量,區位」");

QString lineError(int lineNo, const QString &what)
{
    return QStringLiteral("第 %1 行：%2。").arg(lineNo).arg(what);
}

std::optional<QString> decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// The file's text and encoding; none when it is no UTF-8 or Big5 text.
std::optional<QString> decodeFile(const QByteArray &bytes, CountFile::Encoding &encoding)
{
    // Text in either encoding never holds a NUL byte; UTF-16 would (and starts with a mark).
    if (bytes.contains('\0') || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return std::nullopt;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        encoding = CountFile::Encoding::Utf8;
        return decodeUtf8(QByteArrayView(bytes).sliced(3));
    }
    if (std::optional<QString> text = decodeUtf8(bytes)) {
        encoding = CountFile::Encoding::Utf8;
        return text;
    }
    encoding = CountFile::Encoding::Big5;
    std::optional<QString> text = AnsiCodePage::decode(bytes);
    // The code page's user-defined area (and its stand-in for a lone 0xFF) reads as private
    // use characters: no handheld writes those, bytes of another encoding do.
    if (text && std::any_of(text->cbegin(), text->cend(),
                            [](QChar c) { return c.category() == QChar::Other_PrivateUse; }))
        return std::nullopt;
    return text;
}

QChar separatorOf(const QString &line)
{
    for (const QChar c : {QChar(u'\t'), QChar(u';'), QChar(u',')})
        if (line.contains(c))
            return c;
    return QLatin1Char(',');
}

// The line's fields as written (untrimmed, quotes taken off); none when a quote is left
// open.
std::optional<QStringList> splitFields(const QString &line, QChar separator)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c != u'"')
                field += c;
            else if (i + 1 < line.size() && line.at(i + 1) == u'"')
                field += line.at(++i);
            else
                quoted = false;
        } else if (c == separator) {
            fields.append(field);
            field.clear();
        } else if (c == u'"' && field.trimmed().isEmpty()) {
            quoted = true;
            field.clear();
        } else {
            field += c;
        }
    }
    if (quoted)
        return std::nullopt;
    fields.append(field);
    return fields;
}

bool hasControl(const QString &text)
{
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control)
            return true;
    return false;
}

// The number a whole text writes: digits with at most one decimal point.
std::optional<double> plainNumber(const QString &text)
{
    bool point = false, digit = false;
    for (const QChar c : text) {
        if (c == u'.' && !point)
            point = true;
        else if (c >= u'0' && c <= u'9')
            digit = true;
        else
            return std::nullopt;
    }
    if (!digit)
        return std::nullopt;
    return text.toDouble();
}

bool namesColumn(const QStringList &fields)
{
    static const QStringList words = {
        QStringLiteral("item"),  QStringLiteral("stkno"), QStringLiteral("sku"),
        QStringLiteral("code"),  QStringLiteral("qty"),   QStringLiteral("quantity"),
        QStringLiteral("count"), QStringLiteral("loc"),   QStringLiteral("品號"),
        QStringLiteral("料號"),  QStringLiteral("物料"),  QStringLiteral("編號"),
        QStringLiteral("條碼"),  QStringLiteral("數量"),  QStringLiteral("盤點"),
        QStringLiteral("區位"),  QStringLiteral("儲位"),  QStringLiteral("位置"),
    };
    for (const QString &field : fields)
        for (const QString &word : words)
            if (field.contains(word, Qt::CaseInsensitive))
                return true;
    return false;
}

// Reads one non-blank line's fields into line (its error when refused).
void readFields(CountFileLine &line, QStringList fields)
{
    const int n = line.lineNo;
    // A spreadsheet pads a row with empty cells up to its widest row: those are no fields.
    while (fields.size() > 3 && fields.last().trimmed().isEmpty())
        fields.removeLast();
    if (fields.size() < 2) {
        line.error = lineError(n, QStringLiteral("欄位不足，") + Shape);
        return;
    }
    if (fields.size() > 3) {
        line.error = lineError(n, QStringLiteral("欄位過多，") + Shape);
        return;
    }
    for (const QString &field : std::as_const(fields)) {
        if (hasControl(field)) {
            line.error = lineError(n, QStringLiteral("含有控制字元"));
            return;
        }
    }
    line.item = fields.at(0).trimmed();
    line.location = fields.size() > 2 ? fields.at(2).trimmed() : QString();
    const QString qty = FoldFullWidth(fields.at(1)).trimmed();
    if (line.item.isEmpty()) {
        line.error = lineError(n, QStringLiteral("品號空白"));
    } else if (qty.isEmpty()) {
        line.error = lineError(n, QStringLiteral("沒有數量"));
    } else if (line.location.size() > CountLocationLength) {
        line.error = lineError(n, QStringLiteral("盤點區位「%1」超過 %2 個字")
                                      .arg(line.location)
                                      .arg(CountLocationLength));
    } else if (const std::optional<double> value = plainNumber(qty)) {
        if (*value > CountFileMaxQty)
            line.error = lineError(n, QStringLiteral("數量 %1 超過 9,999,999.99").arg(qty));
        else
            line.qty = *value;
    } else if (qty.startsWith(u'-') && plainNumber(qty.mid(1))) {
        line.error = lineError(n, QStringLiteral("數量 %1 不可為負數").arg(qty));
    } else {
        line.error = lineError(n, QStringLiteral("數量「%1」不是數字").arg(qty));
    }
}

} // namespace

CountFile ParseCountFile(const QByteArray &bytes,
                         const std::function<void(int done, int total)> &progress)
{
    CountFile file;
    const std::optional<QString> text = decodeFile(bytes, file.encoding);
    if (!text) {
        file.encoding = CountFile::Encoding::None;
        file.error = QStringLiteral("檔案不是 UTF-8 或 Big5 編碼的文字檔，無法匯入。");
        return file;
    }
    const QStringList rawLines = text->split(u'\n');
    const int total = int(rawLines.size());
    bool first = true;
    for (int i = 0; i < total; ++i) {
        if (progress && i % ProgressStep == 0)
            progress(i, total);
        QString raw = rawLines.at(i);
        if (raw.endsWith(u'\r'))
            raw.chop(1);
        if (raw.trimmed().isEmpty())
            continue;
        CountFileLine line;
        line.lineNo = i + 1;
        line.raw = raw;
        if (first)
            file.separator = separatorOf(raw);
        const std::optional<QStringList> fields = splitFields(raw, file.separator);
        // A spreadsheet writes an empty row as separators only.
        if (fields && std::all_of(fields->cbegin(), fields->cend(),
                                  [](const QString &field) { return field.trimmed().isEmpty(); }))
            continue;
        if (!fields) {
            line.error = lineError(line.lineNo, QStringLiteral("引號未成對"));
        } else if (first && namesColumn(*fields) &&
                   !plainNumber(FoldFullWidth(fields->value(1)).trimmed())) {
            file.headerLineNo = line.lineNo;
            file.header = raw;
            first = false;
            continue;
        } else {
            readFields(line, *fields);
        }
        first = false;
        file.lines.append(line);
    }
    if (progress)
        progress(total, total);
    if (file.lines.isEmpty())
        file.error = QStringLiteral("檔案中沒有盤點資料。");
    return file;
}

CountFile ReadCountFile(const QString &path,
                        const std::function<void(int done, int total)> &progress)
{
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        CountFile file;
        file.error = QStringLiteral("無法讀取檔案「%1」：%2").arg(path, source.errorString());
        return file;
    }
    return ParseCountFile(source.readAll(), progress);
}
