#include "platform/print/previewview.h"

#include "common/units.h"
#include "platform/print/printdocument.h"

#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace {
constexpr int PageGap = 12; // pixels of grey around the page
constexpr double MinZoom = 10.0, MaxZoom = 400.0;
constexpr double ZoomStep = 1.25;
} // namespace

PreviewView::PreviewView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
}

void PreviewView::setDocument(PrintDocument *document)
{
    if (m_doc)
        disconnect(m_doc, nullptr, this, nullptr);
    m_doc = document;
    if (m_doc)
        connect(m_doc, &PrintDocument::pagesChanged, this, &PreviewView::documentChanged);
    documentChanged();
}

PrintDocument *PreviewView::document() const
{
    return m_doc;
}

int PreviewView::page() const
{
    return m_page;
}

void PreviewView::setPage(int page)
{
    const int count = m_doc ? m_doc->pageCount() : 0;
    page = count == 0 ? 0 : qBound(1, page, count);
    if (page == m_page)
        return;
    m_page = page;
    verticalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
    Q_EMIT pageChanged(m_page);
}

double PreviewView::zoom() const
{
    return m_zoom;
}

void PreviewView::setZoom(double percent)
{
    percent = qBound(MinZoom, percent, MaxZoom);
    if (percent == m_zoom)
        return;
    m_zoom = percent;
    updateScrollBars();
    viewport()->update();
    Q_EMIT zoomChanged();
}

int PreviewView::zoomMode() const
{
    return m_zoomMode;
}

void PreviewView::setZoomMode(int mode)
{
    mode = mode == WholePage ? WholePage : Percentage;
    if (mode == m_zoomMode)
        return;
    m_zoomMode = mode;
    updateScrollBars();
    viewport()->update();
    Q_EMIT zoomChanged();
}

void PreviewView::toggleZoomMode()
{
    setZoomMode(m_zoomMode == Percentage ? WholePage : Percentage);
}

void PreviewView::zoomIn()
{
    zoomBy(ZoomStep);
}

void PreviewView::zoomOut()
{
    zoomBy(1 / ZoomStep);
}

void PreviewView::zoomBy(double factor)
{
    const double current = m_zoomMode == WholePage ? dpi() * 100.0 / logicalDpiX() : m_zoom;
    m_zoomMode = Percentage;
    m_zoom = qBound(MinZoom, current * factor, MaxZoom);
    updateScrollBars();
    viewport()->update();
    Q_EMIT zoomChanged();
}

double PreviewView::dpi() const
{
    const double screen = logicalDpiX();
    if (!m_doc || m_zoomMode == Percentage)
        return screen * m_zoom / 100.0;
    const QSize room = viewport()->size() - QSize(2 * PageGap, 2 * PageGap);
    const double fitX = room.width() * double(TwipsPerInch) / m_doc->pageWidth();
    const double fitY = room.height() * double(TwipsPerInch) / m_doc->pageHeight();
    return qMax(10.0, qMin(fitX, fitY));
}

QImage PreviewView::pageImage()
{
    if (!m_doc || m_page == 0)
        return QImage();
    // Rendered in device pixels; the ratio makes it draw at its logical size.
    const double ratio = devicePixelRatioF();
    const int dots = qMax(10, qRound(dpi() * ratio));
    if (m_cachePage != m_page || m_cacheDots != dots || m_cache.isNull() ||
        m_cache.devicePixelRatio() != ratio) {
        m_cache = m_doc->renderPage(m_page, dots);
        m_cache.setDevicePixelRatio(ratio);
        m_cachePage = m_page;
        m_cacheDots = dots;
    }
    return m_cache;
}

void PreviewView::documentChanged()
{
    m_cache = QImage();
    m_cachePage = 0;
    const int count = m_doc ? m_doc->pageCount() : 0;
    const int page = count == 0 ? 0 : qBound(1, m_page == 0 ? 1 : m_page, count);
    if (page != m_page) {
        m_page = page;
        Q_EMIT pageChanged(m_page);
    }
    updateScrollBars();
    viewport()->update();
}

void PreviewView::updateScrollBars()
{
    if (!m_doc || m_page == 0) {
        horizontalScrollBar()->setRange(0, 0);
        verticalScrollBar()->setRange(0, 0);
        return;
    }
    const double dots = qMax(10, qRound(dpi()));
    const int w = qRound(m_doc->pageWidth() * dots / TwipsPerInch) + 2 * PageGap;
    const int h = qRound(m_doc->pageHeight() * dots / TwipsPerInch) + 2 * PageGap;
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, qMax(0, w - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, qMax(0, h - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setSingleStep(20);
}

void PreviewView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const QImage image = pageImage();
    if (image.isNull())
        return;
    const QSizeF page = image.deviceIndependentSize();
    const QSizeF view = viewport()->size();
    const double x = page.width() + 2 * PageGap <= view.width()
                         ? qRound((view.width() - page.width()) / 2)
                         : PageGap - horizontalScrollBar()->value();
    const double y = page.height() + 2 * PageGap <= view.height()
                         ? qRound((view.height() - page.height()) / 2)
                         : PageGap - verticalScrollBar()->value();
    painter.fillRect(QRectF(QPointF(x + 3, y + 3), page), Qt::black);
    painter.drawImage(QPointF(x, y), image);
}

void PreviewView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void PreviewView::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        if (event->angleDelta().y() > 0)
            zoomIn();
        else
            zoomOut();
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void PreviewView::mouseDoubleClickEvent(QMouseEvent *event)
{
    toggleZoomMode();
    event->accept();
}
