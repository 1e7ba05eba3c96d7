#include "platform/print/printdocument.h"

#include "common/runerror.h"
#include "common/units.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPen>
#include <QTextLayout>
#include <QTextOption>
#include <cmath>

namespace {

// Room between a table cell's lines and its text.
constexpr double CellPadX = 40;
constexpr double CellPadY = 15;
// Line width of table lines (twips, about 0.4 pt).
constexpr double RuleWidth = 8;
// How far a clipped cell text may run into the cell's room beside it: up to the lines.
constexpr double ClipReach = CellPadX - RuleWidth / 2;
// The smallest size a figure is shrunk to so that it fits its cell (points).
constexpr double SmallestFigurePoints = 6;

struct FontKey
{
    QString name;
    double size;
    bool bold;
    bool operator==(const FontKey &o) const
    {
        return name == o.name && size == o.size && bold == o.bold;
    }
};

size_t qHash(const FontKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.name, key.size, key.bold);
}

// How a text keeps to its box: Free may run past it, Clip is cut at the lines of its cell
// (the box widened by ClipReach), Fit is printed smaller when it is wider than the box
// (figures in table cells).
enum class TextFit : quint8 { Free, Clip, Fit };

// One recorded drawing step, in twips.
struct DrawItem
{
    enum Kind : quint8 { Text, Fill, RowRules, Line, Picture };
    Kind kind = Text;
    quint8 align = 0; // 0 left, 1 centre, 2 right
    TextFit fit = TextFit::Free;
    quint16 font = 0;
    float x = 0, y = 0, w = 0, h = 0;
    quint32 ref = 0; // colour (Fill), first rule offset (RowRules), picture index
    quint32 count = 0;
    QString text;
};

struct Page
{
    std::vector<DrawItem> items;
    std::vector<float> rules; // x positions of the inner lines of table rows
};

Qt::Alignment horizontalFlag(int align)
{
    switch (align) {
    case 1:
        return Qt::AlignHCenter;
    case 2:
        return Qt::AlignRight;
    default:
        return Qt::AlignLeft;
    }
}

QColor fromWinColor(int bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// A figure as the printouts write numbers: a sign, digits with or without thousands
// separators, decimals, an exponent or a percent sign. Figures are never broken.
// (Read by hand: a report asks it of every cell.)
bool isFigure(const QString &text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto digit = [&](qsizetype at) { return at < n && text.at(at).isDigit(); };
    auto skipSpace = [&] {
        while (i < n && text.at(i).isSpace())
            ++i;
    };
    skipSpace();
    if (i < n && (text.at(i) == u'-' || text.at(i) == u'+'))
        ++i;
    if (digit(i)) {
        while (digit(i) || (i < n && text.at(i) == u','))
            ++i;
        if (i < n && text.at(i) == u'.') {
            ++i;
            while (digit(i))
                ++i;
        }
    } else if (i < n && text.at(i) == u'.' && digit(i + 1)) {
        ++i;
        while (digit(i))
            ++i;
    } else {
        return false;
    }
    if (i < n && (text.at(i) == u'e' || text.at(i) == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text.at(j) == u'-' || text.at(j) == u'+'))
            ++j;
        if (!digit(j))
            return false;
        i = j;
        while (digit(i))
            ++i;
    }
    if (i < n && text.at(i) == u'%')
        ++i;
    skipSpace();
    return i == n;
}

// The font at the largest size, down to the smallest figure size, at which text fits
// width on the painter's device; beyond that floor the text keeps the floor size.
QFont fittedFont(const QFont &font, const QString &text, double width, QPaintDevice *device)
{
    double advance = QFontMetricsF(font, device).horizontalAdvance(text);
    if (advance <= width)
        return font;
    QFont fitted = font;
    double size = font.pointSizeF();
    while (advance > width && size > SmallestFigurePoints) {
        // Widths grow almost in proportion to the size; hinting may need a further step.
        size = qMax(SmallestFigurePoints, qMin(size - 0.1, size * width / advance));
        fitted.setPointSizeF(size);
        advance = QFontMetricsF(fitted, device).horizontalAdvance(text);
    }
    return fitted;
}

} // namespace

struct PrintDocument::Impl
{
    std::vector<Page> pages;
    int page = -1; // index of the page being composed
    bool open = false;

    // Overlay: the composing page and position are put aside meanwhile.
    int overlayPage = -1;
    int savedPage = -1;
    double savedX = 0, savedY = 0;

    double paperWidth = 11906, paperHeight = 16838; // A4
    int orientation = Portrait;
    double marginLeft = 1440, marginRight = 1440, marginTop = 1440, marginBottom = 1440;
    double x = 1440, y = 1440;

    QString fontName = QStringLiteral("新細明體");
    double fontSize = 10;
    bool fontBold = false;
    int textAlign = 0;
    QString tableSep = QStringLiteral("|;");
    bool autoPageBreak = true;

    std::vector<FontKey> fonts;
    QHash<FontKey, int> fontIndex;
    mutable std::vector<std::unique_ptr<QFontMetricsF>> metrics; // twip-scaled fonts
    std::vector<QFont> layoutFonts;
    std::vector<QImage> pictures;

    QString device;
    QString docName;

    double pageWidth() const { return orientation == Landscape ? paperHeight : paperWidth; }
    double pageHeight() const { return orientation == Landscape ? paperWidth : paperHeight; }
    double bottomLimit() const { return pageHeight() - marginBottom; }
    bool inOverlay() const { return overlayPage >= 0; }

    int currentFont()
    {
        const FontKey key{fontName, fontSize, fontBold};
        auto it = fontIndex.constFind(key);
        if (it != fontIndex.constEnd())
            return it.value();
        const int index = int(fonts.size());
        fonts.push_back(key);
        fontIndex.insert(key, index);
        // Laid out at 20 pixels to the point: font pixels are twips.
        QFont font(key.name);
        font.setPixelSize(qMax(1, qRound(key.size * 20)));
        font.setBold(key.bold);
        font.setHintingPreference(QFont::PreferNoHinting);
        layoutFonts.push_back(font);
        metrics.push_back(std::make_unique<QFontMetricsF>(font));
        return index;
    }

    const QFontMetricsF &fm(int font) const { return *metrics[font]; }

    // Whether text surely fits width without shaping it: the sum of its characters' own
    // advances, kept per font, with room for kerning. Shaping every cell of a long report
    // was most of the time of composing it. Scripts other than Latin and CJK are shaped.
    mutable std::vector<QHash<char16_t, double>> charAdvances; // per font
    bool surelyFits(int font, const QString &text, double width) const
    {
        if (charAdvances.size() <= size_t(font))
            charAdvances.resize(size_t(font) + 1);
        QHash<char16_t, double> &advances = charAdvances[size_t(font)];
        const double room = width * 0.98;
        double sum = 0;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            const bool simple = (u >= 0x20 && u < 0x300) || (u >= 0x3000 && u < 0xA000) ||
                                (u >= 0xFF00 && u < 0xFFF0);
            if (!simple)
                return false;
            auto it = advances.constFind(u);
            if (it == advances.cend())
                it = advances.insert(u, fm(font).horizontalAdvance(c));
            sum += *it;
            if (sum > room)
                return false;
        }
        return true;
    }
    bool fits(int font, const QString &text, double width) const
    {
        return surelyFits(font, text, width) || fm(font).horizontalAdvance(text) <= width;
    }

    // The columns of the last table format read: a report adds its rows one table call each.
    QString parsedFormat, parsedSeps;
    QList<TableColumn> parsedColumns;
    const QList<TableColumn> &columnsOf(const QString &format)
    {
        if (format != parsedFormat || tableSep != parsedSeps || parsedFormat.isNull()) {
            parsedColumns = ParseTableFormat(format, TableSeparators::fromTableSep(tableSep));
            parsedFormat = format.isNull() ? QStringLiteral("") : format;
            parsedSeps = tableSep;
        }
        return parsedColumns;
    }
    double lineHeight(int font) const { return fm(font).lineSpacing(); }

    // Breaks text into the lines that fit width (twips).
    QStringList wrap(int font, const QString &text, double width) const
    {
        QStringList lines;
        const QStringList paragraphs =
            text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))
                ? QString(text)
                      .replace(QLatin1String("\r\n"), QLatin1String("\n"))
                      .replace(QLatin1Char('\r'), QLatin1Char('\n'))
                      .split(QLatin1Char('\n'))
                : QStringList{text};
        for (const QString &para : paragraphs) {
            if (para.isEmpty() || fits(font, para, width)) {
                lines.append(para);
                continue;
            }
            QTextLayout layout(para, layoutFonts[font]);
            QTextOption option;
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            layout.setTextOption(option);
            layout.beginLayout();
            for (;;) {
                QTextLine line = layout.createLine();
                if (!line.isValid())
                    break;
                line.setLineWidth(qMax(1.0, width));
                lines.append(para.mid(line.textStart(), line.textLength()).trimmed());
            }
            layout.endLayout();
        }
        return lines;
    }

    // The part of a one-line cell text that stays inside the cell's lines when it is
    // aligned in the cell's box of the given width: the start of a left-aligned or centred
    // text, the end of a right-aligned one. Only whole characters are printed, so the text
    // a reader copies from the file is the text on paper.
    QString clipped(int font, const QString &text, double boxWidth, int align) const
    {
        const double width = boxWidth + (align == TableColumn::Centre ? 2 : 1) * ClipReach;
        if (fits(font, text, width))
            return text;
        const QFontMetricsF &metrics = fm(font);
        const bool fromEnd = align == TableColumn::Right;
        auto part = [&](qsizetype n) { return fromEnd ? text.right(n) : text.left(n); };
        qsizetype lo = 0, hi = text.size();
        while (lo < hi) {
            const qsizetype mid = (lo + hi + 1) / 2;
            if (metrics.horizontalAdvance(part(mid)) <= width)
                lo = mid;
            else
                hi = mid - 1;
        }
        // Never half a surrogate pair.
        if (lo > 0 && lo < text.size()) {
            const QChar edge = fromEnd ? text.at(text.size() - lo) : text.at(lo - 1);
            if (fromEnd ? edge.isLowSurrogate() : edge.isHighSurrogate())
                --lo;
        }
        return part(lo);
    }

    Page &current() { return pages[size_t(inOverlay() ? overlayPage : page)]; }

    void ensurePage()
    {
        if (pages.empty()) {
            pages.emplace_back();
            page = 0;
        }
    }

    void addText(int font, double left, double top, double width, double height,
                 const QString &text, int align, TextFit fit)
    {
        if (text.isEmpty())
            return;
        DrawItem item;
        item.kind = DrawItem::Text;
        item.align = quint8(align);
        item.fit = fit;
        item.font = quint16(font);
        item.x = float(left);
        item.y = float(top);
        item.w = float(width);
        item.h = float(height);
        item.text = text;
        current().items.push_back(std::move(item));
    }

    // Whether something printed next at height h would cross the bottom margin on a page
    // that already holds something above it.
    bool needsBreak(double h) const
    {
        return autoPageBreak && !inOverlay() && y + h > bottomLimit() && y > marginTop;
    }
};

PrintDocument::PrintDocument(QObject *parent) : QObject(parent), d(std::make_unique<Impl>()) {}

PrintDocument::~PrintDocument() = default;

void PrintDocument::startDoc()
{
    d->pages.clear();
    d->pictures.clear();
    d->pages.emplace_back();
    d->page = 0;
    d->overlayPage = -1;
    d->open = true;
    d->x = d->marginLeft;
    d->y = d->marginTop;
    Q_EMIT documentStarted();
    Q_EMIT pagesChanged();
}

void PrintDocument::endDoc()
{
    if (!d->open)
        return;
    d->open = false;
    Q_EMIT pagesChanged();
    Q_EMIT documentEnded();
}

void PrintDocument::killDoc()
{
    d->pages.clear();
    d->pictures.clear();
    d->page = -1;
    d->overlayPage = -1;
    d->open = false;
    Q_EMIT pagesChanged();
}

bool PrintDocument::isDocOpen() const
{
    return d->open;
}

int PrintDocument::pageCount() const
{
    return int(d->pages.size());
}

int PrintDocument::currentPage() const
{
    return d->page + 1;
}

void PrintDocument::newPage()
{
    if (d->inOverlay())
        return;
    d->pages.emplace_back();
    d->page = int(d->pages.size()) - 1;
    d->x = d->marginLeft;
    d->y = d->marginTop;
    Q_EMIT pagesChanged();
}

void PrintDocument::setPaperSize(double widthTwips, double heightTwips)
{
    if (widthTwips > 0 && heightTwips > 0) {
        d->paperWidth = widthTwips;
        d->paperHeight = heightTwips;
    }
}

int PrintDocument::orientation() const
{
    return d->orientation;
}

void PrintDocument::setOrientation(int orientation)
{
    d->orientation = orientation == Landscape ? Landscape : Portrait;
}

double PrintDocument::pageWidth() const
{
    return d->pageWidth();
}

double PrintDocument::pageHeight() const
{
    return d->pageHeight();
}

double PrintDocument::marginLeft() const
{
    return d->marginLeft;
}

void PrintDocument::setMarginLeft(double twips)
{
    d->marginLeft = twips;
}

double PrintDocument::marginRight() const
{
    return d->marginRight;
}

void PrintDocument::setMarginRight(double twips)
{
    d->marginRight = twips;
}

double PrintDocument::marginTop() const
{
    return d->marginTop;
}

void PrintDocument::setMarginTop(double twips)
{
    d->marginTop = twips;
}

double PrintDocument::marginBottom() const
{
    return d->marginBottom;
}

void PrintDocument::setMarginBottom(double twips)
{
    d->marginBottom = twips;
}

double PrintDocument::currentX() const
{
    return d->x;
}

void PrintDocument::setCurrentX(double twips)
{
    d->x = twips;
}

double PrintDocument::currentY() const
{
    return d->y;
}

void PrintDocument::setCurrentY(double twips)
{
    d->y = twips;
}

QString PrintDocument::fontName() const
{
    return d->fontName;
}

void PrintDocument::setFontName(const QString &name)
{
    if (!name.trimmed().isEmpty())
        d->fontName = name.trimmed();
}

double PrintDocument::fontSize() const
{
    return d->fontSize;
}

void PrintDocument::setFontSize(double points)
{
    if (points > 0)
        d->fontSize = points;
}

bool PrintDocument::fontBold() const
{
    return d->fontBold;
}

void PrintDocument::setFontBold(bool bold)
{
    d->fontBold = bold;
}

int PrintDocument::textAlign() const
{
    return d->textAlign;
}

void PrintDocument::setTextAlign(int code)
{
    if (code >= 0 && code <= 8)
        d->textAlign = code;
}

double PrintDocument::lineHeight() const
{
    return d->lineHeight(d->currentFont());
}

double PrintDocument::textWidth(const QString &text) const
{
    return d->fm(d->currentFont()).horizontalAdvance(text);
}

QString PrintDocument::tableSep() const
{
    return d->tableSep;
}

void PrintDocument::setTableSep(const QString &separators)
{
    if (separators.size() >= 2)
        d->tableSep = separators.left(2);
}

bool PrintDocument::autoPageBreak() const
{
    return d->autoPageBreak;
}

void PrintDocument::setAutoPageBreak(bool on)
{
    d->autoPageBreak = on;
}

void PrintDocument::paragraph(const QString &text)
{
    d->ensurePage();
    const int font = d->currentFont();
    const double lh = d->lineHeight(font);
    const double left = d->x;
    const double width = qMax(1.0, d->pageWidth() - d->marginRight - left);
    const int align = d->textAlign % 3;
    // A figure stays on one line; wider than its box it runs past the aligned edge.
    const QStringList lines = isFigure(text) ? QStringList{text} : d->wrap(font, text, width);
    for (const QString &line : lines) {
        if (d->needsBreak(lh))
            newPage();
        d->addText(font, left, d->y, width, lh, line, align, TextFit::Free);
        d->y += lh;
    }
    d->x = d->marginLeft;
}

void PrintDocument::text(const QString &text)
{
    d->ensurePage();
    const int font = d->currentFont();
    const double width = d->fm(font).horizontalAdvance(text);
    d->addText(font, d->x, d->y, width, d->lineHeight(font), text, 0, TextFit::Free);
    d->x += width;
}

void PrintDocument::addTable(const QString &format, const QString &header, const QString &body,
                             int headerShade, int bodyShade, bool headerOnBreakOnly)
{
    const TableSeparators seps = TableSeparators::fromTableSep(d->tableSep);
    const QList<QStringList> headerRows = SplitTableRows(header, seps);
    addTable(format, headerRows.isEmpty() ? QStringList() : headerRows.first(),
             SplitTableRows(body, seps), headerShade, bodyShade, headerOnBreakOnly);
}

void PrintDocument::addTable(const QString &format, const QStringList &header,
                             const QList<QStringList> &body, int headerShade, int bodyShade,
                             bool headerOnBreakOnly)
{
    d->ensurePage();
    const QList<TableColumn> columns = d->columnsOf(format);
    double tableWidth = 0;
    for (const TableColumn &c : columns)
        tableWidth += c.width;
    const double room = d->pageWidth() - d->marginLeft - d->marginRight;
    double left = d->marginLeft;
    if (d->textAlign % 3 == 1)
        left += (room - tableWidth) / 2;
    else if (d->textAlign % 3 == 2)
        left += room - tableWidth;

    const int font = d->currentFont();
    const double lh = d->lineHeight(font);

    struct Measured
    {
        std::vector<QStringList> lines; // per column
        std::vector<TextFit> fits;      // per column
        double height = 0;
    };
    auto measure = [&](const QStringList &cells) {
        Measured m;
        m.lines.resize(size_t(columns.size()));
        m.fits.resize(size_t(columns.size()), TextFit::Free);
        int lines = 1;
        for (int c = 0; c < columns.size(); ++c) {
            const TableColumn &col = columns[c];
            if (col.width <= 0 || c >= cells.size() || cells[c].isEmpty())
                continue;
            QStringList &cellLines = m.lines[size_t(c)];
            if (!col.singleLine && isFigure(cells[c])) {
                // A figure is one line in its cell, printed smaller when it is too wide.
                cellLines = QStringList{cells[c].trimmed()};
                m.fits[size_t(c)] = TextFit::Fit;
            } else if (col.singleLine) {
                QString text = cells[c];
                text.replace(QLatin1Char('\r'), QLatin1Char(' '))
                    .replace(QLatin1Char('\n'), QLatin1Char(' '));
                cellLines =
                    QStringList{d->clipped(font, text, col.width - 2 * CellPadX, int(col.align))};
                m.fits[size_t(c)] = TextFit::Clip;
            } else {
                cellLines = d->wrap(font, cells[c], col.width - 2 * CellPadX);
            }
            lines = qMax(lines, int(cellLines.size()));
        }
        m.height = lines * lh + 2 * CellPadY;
        return m;
    };
    auto emitRow = [&](const Measured &m, int shade) {
        Page &page = d->current();
        if (shade > 0) {
            DrawItem fill;
            fill.kind = DrawItem::Fill;
            fill.x = float(left);
            fill.y = float(d->y);
            fill.w = float(tableWidth);
            fill.h = float(m.height);
            fill.ref = quint32(shade);
            page.items.push_back(fill);
        }
        DrawItem rules;
        rules.kind = DrawItem::RowRules;
        rules.x = float(left);
        rules.y = float(d->y);
        rules.w = float(tableWidth);
        rules.h = float(m.height);
        rules.ref = quint32(page.rules.size());
        double x = left;
        for (int c = 0; c < columns.size(); ++c) {
            const TableColumn &col = columns[c];
            if (col.width <= 0)
                continue;
            const QStringList &text = m.lines[size_t(c)];
            for (int i = 0; i < text.size(); ++i)
                d->addText(font, x + CellPadX, d->y + CellPadY + i * lh, col.width - 2 * CellPadX,
                           lh, text[i], int(col.align), m.fits[size_t(c)]);
            x += col.width;
            if (x < left + tableWidth)
                page.rules.push_back(float(x));
        }
        rules.count = quint32(page.rules.size()) - rules.ref;
        page.items.push_back(rules);
        d->y += m.height;
    };
    // A row goes below the previous one, or to a new page when it would cross the bottom
    // margin; a row that begins a page gets the header above it.
    const bool hasHeader = !header.isEmpty() && !(header.size() == 1 && header[0].isEmpty());
    const Measured headerRow = hasHeader ? measure(header) : Measured();
    int headerPage = -1;
    auto printHeader = [&]() {
        emitRow(headerRow, headerShade);
        headerPage = d->page;
    };
    if (hasHeader && !headerOnBreakOnly) {
        if (d->needsBreak(headerRow.height))
            newPage();
        printHeader();
    }
    for (const QStringList &cells : body) {
        const Measured row = measure(cells);
        bool beginsPage = d->y <= d->marginTop;
        if (!beginsPage && d->needsBreak(row.height)) {
            newPage();
            beginsPage = true;
        }
        if (hasHeader && beginsPage && headerPage != d->page)
            printHeader();
        emitRow(row, bodyShade);
    }
    d->x = d->marginLeft;
}

void PrintDocument::drawLine(double x1, double y1, double x2, double y2)
{
    d->ensurePage();
    DrawItem item;
    item.kind = DrawItem::Line;
    item.x = float(x1);
    item.y = float(y1);
    item.w = float(x2 - x1);
    item.h = float(y2 - y1);
    d->current().items.push_back(item);
}

void PrintDocument::drawPicture(const QImage &picture, double x1, double y1, double x2, double y2)
{
    if (picture.isNull())
        return;
    d->ensurePage();
    DrawItem item;
    item.kind = DrawItem::Picture;
    item.x = float(x1);
    item.y = float(y1);
    item.w = float(x2 - x1);
    item.h = float(y2 - y1);
    item.ref = quint32(d->pictures.size());
    d->pictures.push_back(picture);
    d->current().items.push_back(item);
}

void PrintDocument::startOverlay(int page)
{
    if (page < 1 || page > pageCount())
        throw RunError(RunError::InvalidCall,
                       QStringLiteral("頁次超出範圍: %1/%2").arg(page).arg(pageCount()));
    if (!d->inOverlay()) {
        d->savedPage = d->page;
        d->savedX = d->x;
        d->savedY = d->y;
    }
    d->overlayPage = page - 1;
}

void PrintDocument::endOverlay()
{
    if (!d->inOverlay())
        return;
    d->overlayPage = -1;
    d->page = d->savedPage;
    d->x = d->savedX;
    d->y = d->savedY;
    Q_EMIT pagesChanged();
}

bool PrintDocument::isOverlayOpen() const
{
    return d->inOverlay();
}

void PrintDocument::paintPage(QPainter &painter, int pageNumber) const
{
    if (pageNumber < 1 || pageNumber > pageCount())
        return;
    const Page &page = d->pages[size_t(pageNumber - 1)];
    QPaintDevice *device = painter.device();
    const double sx = device->logicalDpiX() / double(TwipsPerInch);
    const double sy = device->logicalDpiY() / double(TwipsPerInch);
    auto rect = [&](const DrawItem &item) {
        return QRectF(item.x * sx, item.y * sy, item.w * sx, item.h * sy);
    };

    // Fonts in points, resolved by the painter for this device.
    std::vector<QFont> fonts;
    fonts.reserve(d->fonts.size());
    for (const FontKey &key : d->fonts) {
        QFont font(key.name);
        font.setPointSizeF(key.size);
        font.setBold(key.bold);
        fonts.push_back(font);
    }
    QPen rule(Qt::black, qMax(1.0, RuleWidth * sx));
    rule.setCapStyle(Qt::SquareCap);

    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    int activeFont = -1;
    painter.setPen(Qt::black);
    for (const DrawItem &item : page.items) {
        switch (item.kind) {
        case DrawItem::Text: {
            const QRectF box = rect(item);
            if (item.fit == TextFit::Fit) {
                // Measured on this device, so that the figure fits here whatever its
                // resolution and hinting.
                painter.setFont(fittedFont(fonts[item.font], item.text, box.width(), device));
                activeFont = -1;
            } else if (item.font != activeFont) {
                painter.setFont(fonts[item.font]);
                activeFont = item.font;
            }
            const int flags = horizontalFlag(item.align) | Qt::AlignVCenter | Qt::TextSingleLine |
                              Qt::TextDontClip;
            if (item.fit == TextFit::Clip) {
                painter.save();
                painter.setClipRect(box.adjusted(-ClipReach * sx, 0, ClipReach * sx, 0),
                                    Qt::IntersectClip);
                painter.drawText(box, flags, item.text);
                painter.restore();
            } else {
                painter.drawText(box, flags, item.text);
            }
            break;
        }
        case DrawItem::Fill:
            painter.fillRect(rect(item), fromWinColor(int(item.ref)));
            break;
        case DrawItem::RowRules: {
            painter.setPen(rule);
            const QRectF r = rect(item);
            painter.drawRect(r);
            for (quint32 i = 0; i < item.count; ++i) {
                const double x = page.rules[item.ref + i] * sx;
                painter.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
            }
            painter.setPen(Qt::black);
            break;
        }
        case DrawItem::Line:
            painter.setPen(rule);
            painter.drawLine(QPointF(item.x * sx, item.y * sy),
                             QPointF((item.x + item.w) * sx, (item.y + item.h) * sy));
            painter.setPen(Qt::black);
            break;
        case DrawItem::Picture:
            painter.drawImage(rect(item), d->pictures[item.ref]);
            break;
        }
    }
    painter.restore();
}

QImage PrintDocument::renderPage(int page, double dpi) const
{
    const int dots = qMax(10, qRound(dpi));
    QImage image(qMax(1, qRound(pageWidth() * dots / TwipsPerInch)),
                 qMax(1, qRound(pageHeight() * dots / TwipsPerInch)), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dots / 0.0254));
    image.setDotsPerMeterY(qRound(dots / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintPage(painter, page);
    return image;
}

QString PrintDocument::docName() const
{
    return d->docName;
}

void PrintDocument::setDocName(const QString &name)
{
    d->docName = name;
}

QString PrintDocument::device() const
{
    return d->device;
}

void PrintDocument::setDevice(const QString &printerName)
{
    d->device = printerName;
}
