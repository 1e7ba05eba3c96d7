#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QPointer>

class PrintDocument;

// Shows one page of a print document at a time. Only the page on screen is drawn, into an
// image kept until the page, the zoom or the document changes, so paging and scrolling
// stay smooth on documents of hundreds of pages. The image has the screen's device pixel
// ratio, so the page stays sharp on scaled screens.
class PreviewView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    // Percentage: the page at zoom() percent of its size; WholePage: the whole page fits.
    enum ZoomMode { Percentage = 0, WholePage = 3 };

    explicit PreviewView(QWidget *parent = nullptr);

    void setDocument(PrintDocument *document);
    PrintDocument *document() const;

    int page() const; // 1-based; 0 for an empty document
    void setPage(int page);

    double zoom() const; // percent
    void setZoom(double percent);
    int zoomMode() const;
    void setZoomMode(int mode);
    void toggleZoomMode(); // whole page <-> percentage
    // One step larger or smaller than the size on screen, as a percentage.
    void zoomIn();
    void zoomOut();

    // The image on screen (rendering it when needed), at the view's device pixel ratio.
    QImage pageImage();

Q_SIGNALS:
    void pageChanged(int page);
    void zoomChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    double dpi() const; // logical dots per inch of the page on screen
    void zoomBy(double factor);
    void documentChanged();
    void updateScrollBars();

    QPointer<PrintDocument> m_doc;
    int m_page = 0;
    double m_zoom = 80.0;
    int m_zoomMode = WholePage;
    QImage m_cache;
    int m_cachePage = 0;
    int m_cacheDots = 0;
};
