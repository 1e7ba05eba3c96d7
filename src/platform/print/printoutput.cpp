// Output of a composed document to printers and PDF files: the same page painter as the
// preview, on the device's own resolution.
#include "platform/print/printdocument.h"

#include "common/runerror.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

QPageLayout layoutFor(const PrintDocument &doc)
{
    // The paper upright, turned by the orientation.
    const bool landscape = doc.orientation() == PrintDocument::Landscape;
    const double w = landscape ? doc.pageHeight() : doc.pageWidth();
    const double h = landscape ? doc.pageWidth() : doc.pageHeight();
    return QPageLayout(QPageSize(QSizeF(w / 1440.0, h / 1440.0), QPageSize::Inch),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

std::pair<int, int> clampRange(int from, int to, int pages)
{
    if (from <= 0)
        from = 1;
    if (to <= 0 || to > pages)
        to = pages;
    return {from, to};
}

} // namespace

QStringList PrintDocument::devices()
{
    return QPrinterInfo::availablePrinterNames();
}

int PrintDocument::nDevices() const
{
    return int(devices().size());
}

void PrintDocument::setupPrinter(QPrinter &printer) const
{
    printer.setFullPage(true);
    printer.setPageLayout(layoutFor(*this));
    printer.setDocName(docName().isEmpty() ? QStringLiteral("TOVRAN") : docName());
    // The page range is applied by our own loop; a range left on the printer would be
    // applied a second time by the print server.
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
}

void PrintDocument::printDoc(int fromPage, int toPage)
{
    QString name = device();
    if (name.isEmpty())
        name = QPrinterInfo::defaultPrinterName();
    if (name.isEmpty() || !devices().contains(name))
        throw RunError(PrinterError, name.isEmpty() ? QStringLiteral("沒有安裝印表機")
                                                    : QStringLiteral("找不到印表機: ") + name);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(name);
    printDoc(printer, fromPage, toPage);
}

void PrintDocument::printDoc(QPrinter &printer, int fromPage, int toPage)
{
    if (pageCount() == 0)
        return;
    setupPrinter(printer);
    QPainter painter;
    if (!painter.begin(&printer))
        throw RunError(PrinterError, QStringLiteral("無法開啟印表機: ") + printer.printerName());
    paintPages(printer, painter, fromPage, toPage);
    if (!painter.end())
        throw RunError(PrinterError, QStringLiteral("列印失敗: ") + printer.printerName());
}

void PrintDocument::savePdf(const QString &fileName)
{
    QPdfWriter writer(fileName);
    writer.setResolution(1200);
    writer.setPageLayout(layoutFor(*this));
    writer.setTitle(docName());
    writer.setCreator(QStringLiteral("TOVRAN"));
    QPainter painter;
    if (!painter.begin(&writer))
        throw RunError(PrinterError, QStringLiteral("無法寫入檔案: ") + fileName);
    paintPages(writer, painter, 1, pageCount());
    if (!painter.end())
        throw RunError(PrinterError, QStringLiteral("無法寫入檔案: ") + fileName);
}

void PrintDocument::paintPages(QPagedPaintDevice &device, QPainter &painter, int fromPage,
                               int toPage)
{
    const auto [from, to] = clampRange(fromPage, toPage, pageCount());
    for (int page = from; page <= to; ++page) {
        if (page > from)
            device.newPage();
        paintPage(painter, page);
    }
}
