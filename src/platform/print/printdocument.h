#pragma once

#include "platform/print/tableformat.h"

#include <QImage>
#include <QObject>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QPainter;
class QPagedPaintDevice;
class QPrinter;

// The print document of the printouts: a document of pages composed in twips (1/1440
// inch) from paragraphs, positioned text, one-row tables, lines and pictures. Every page
// is recorded once as a display list and drawn by paintPage() to any device - the
// preview, a printer, a PDF file - at that device's resolution with its own font metrics.
//
// Composing:
//   startDoc()                      empties the document and opens page 1
//   paragraph(text)                 prints text at the current position and moves below it
//   text(text)                      prints text at (currentX, currentY) without a line
//                                   break and moves currentX past it
//   addTable(format, header, body)  prints table rows in the table notation (tableformat.h)
//   newPage()                       starts a new page; tables and paragraphs also start one
//                                   when their next line would cross the bottom margin,
//                                   unless automatic page breaks are off
//   drawPicture / drawLine          pictures (logos) and lines at twip positions
//   endDoc()                        closes the document; the documentEnded signal lets the
//                                   window draw frames over the finished pages
//   startOverlay(p) ... endOverlay  draws onto the finished page p (1-based); no automatic
//                                   page breaks while an overlay is open
//
// Figures (numbers) are never broken: a figure paragraph stays on one line and runs past
// its box on the aligned side when wider; a figure in a table cell is one line, printed
// smaller (down to 6 pt) when it is wider than the cell, and only beyond that runs past the
// cell on its aligned side. "~" columns keep every cell on one line and clip it; other
// cell texts wrap.
//
// Text alignment codes (textAlign): 0 left, 1 centre, 2 right (top); 3 left, 4 centre,
// 5 right (bottom); 6 left, 7 centre, 8 right (middle). A paragraph is laid out in the box
// from currentX to the right margin with the horizontal part of the code; its top stays at
// currentY whatever the vertical part. A table is placed between the margins by the
// horizontal part (left: from marginLeft). Table cells take their own column alignment.
//
// Positions, margins and page sizes are twips; font sizes are points. Page width and height
// follow the orientation (0 portrait, 1 landscape) of the paper (A4 unless set).
class PrintDocument : public QObject
{
    Q_OBJECT
public:
    enum Orientation { Portrait = 0, Landscape = 1 };
    // The error number a failing printer or output file is reported with.
    static constexpr int PrinterError = 482;

    explicit PrintDocument(QObject *parent = nullptr);
    ~PrintDocument() override;

    // Document.
    void startDoc();
    void endDoc();
    void killDoc(); // discards the document (no pages)
    bool isDocOpen() const;
    int pageCount() const;
    void newPage();
    int currentPage() const; // the page being composed, 1-based; 0 without pages

    // Paper and page setup. The paper is given upright; pageWidth/pageHeight follow the
    // orientation. Changing the orientation or paper applies to the whole document.
    void setPaperSize(double widthTwips, double heightTwips);
    int orientation() const;
    void setOrientation(int orientation);
    double pageWidth() const;
    double pageHeight() const;
    double marginLeft() const;
    void setMarginLeft(double twips);
    double marginRight() const;
    void setMarginRight(double twips);
    double marginTop() const;
    void setMarginTop(double twips);
    double marginBottom() const;
    void setMarginBottom(double twips);

    // Current position.
    double currentX() const;
    void setCurrentX(double twips);
    double currentY() const;
    void setCurrentY(double twips);

    // Font and alignment of what is printed next.
    QString fontName() const;
    void setFontName(const QString &name);
    double fontSize() const;
    void setFontSize(double points);
    bool fontBold() const;
    void setFontBold(bool bold);
    int textAlign() const;
    void setTextAlign(int code);
    // Line height of the current font (twips).
    double lineHeight() const;
    // Width of a text in the current font (twips).
    double textWidth(const QString &text) const;

    // Automatic page breaks of paragraphs and tables (on unless set). A form that places
    // its own page breaks turns them off, so that nothing it prints starts a page.
    bool autoPageBreak() const;
    void setAutoPageBreak(bool on);

    // Table separators: column separator, then row separator ("|;" unless set).
    QString tableSep() const;
    void setTableSep(const QString &separators);

    // Printing.
    void paragraph(const QString &text);
    void text(const QString &text);
    // Prints the rows of body (and header) in the table notation. The shades are Windows
    // colour values (0x00BBGGRR) filling the header and body cells; 0 or less is no shade.
    // header: the column headings, "" for none. It is printed above the first row, unless
    // headerOnBreakOnly is set: then only above rows that begin a page, so that a caller
    // that prints its own heading block per page can pass the header with every row.
    // Tables carry lines around their drawn cells.
    void addTable(const QString &format, const QString &header, const QString &body,
                  int headerShade = -1, int bodyShade = -1, bool headerOnBreakOnly = false);
    // The same with the cells given one by one: a separator character inside a cell stays
    // in that cell.
    void addTable(const QString &format, const QStringList &header, const QList<QStringList> &body,
                  int headerShade = -1, int bodyShade = -1, bool headerOnBreakOnly = false);
    void drawLine(double x1, double y1, double x2, double y2);
    void drawPicture(const QImage &picture, double x1, double y1, double x2, double y2);

    // Overlays onto finished pages.
    void startOverlay(int page);
    void endOverlay();
    bool isOverlayOpen() const;

    // Drawing. paintPage draws page (1-based) with the painter's device resolution; the
    // painter's origin is the paper's top-left corner. renderPage gives an image of the
    // page at the given resolution (dots per inch) on white.
    void paintPage(QPainter &painter, int page) const;
    QImage renderPage(int page, double dpi) const;

    // Printers installed on this computer (CUPS on Linux) and the current one.
    static QStringList devices();
    int nDevices() const;
    QString device() const; // the default printer unless set
    void setDevice(const QString &printerName);
    QString docName() const; // the job's title on the print queue
    void setDocName(const QString &name);

    // Prints pages fromPage..toPage (1-based, 0 = first/last page) on the current printer,
    // or on the given printer; the range is applied here, never handed to the print server.
    // Throws RunError(PrinterError) when the printer cannot be opened.
    void printDoc(int fromPage = 0, int toPage = 0);
    void printDoc(QPrinter &printer, int fromPage = 0, int toPage = 0);
    // Sets up a printer for this document: paper, orientation, whole-page coordinates.
    void setupPrinter(QPrinter &printer) const;
    // Writes the whole document as PDF. Throws RunError(PrinterError) on failure.
    void savePdf(const QString &fileName);

Q_SIGNALS:
    void documentStarted();
    void documentEnded();
    // Pages were added or changed (the view drops its cached images).
    void pagesChanged();

private:
    void paintPages(QPagedPaintDevice &device, QPainter &painter, int fromPage, int toPage);
    struct Impl;
    std::unique_ptr<Impl> d;
};
