#include "printing/previewwindow.h"

#include "common/clock.h"
#include "common/errorreport.h"
#include "common/localeformats.h"
#include "common/state.h"
#include "common/units.h"
#include "data/messages.h"
#include "forms/formhelpers.h"
#include "forms/runwindows.h"
#include "platform/grid/flexgrid.h"
#include "platform/print/previewview.h"
#include "platform/print/printdocument.h"
#include "platform/print/tableformat.h"
#include "platform/systeminfo.h"
#include "platform/widgets/elasticpanel.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>
#include <QTextEdit>
#include <QVBoxLayout>
#include <functional>

namespace {

const QString CsvFilter = QStringLiteral("csv檔案(*.csv)|*.csv|所有檔案|*.*|");
const QString PdfFilter = QStringLiteral("pdf檔案(*.pdf)");
const QString KaiFace = QStringLiteral("標楷體");

QString controlText(QWidget *control)
{
    if (auto *plain = qobject_cast<QPlainTextEdit *>(control))
        return plain->toPlainText();
    if (auto *rich = qobject_cast<QTextEdit *>(control))
        return rich->toPlainText();
    if (auto *line = qobject_cast<QLineEdit *>(control))
        return line->text();
    throw RunError(RunError::TypeMismatch, QStringLiteral("不是文字方塊"));
}

} // namespace

PreviewWindow::PreviewWindow(Variant variant, QWidget *parent)
    : QWidget(parent, Qt::Window), m_variant(variant)
{
    static const char *const names[] = {"frmVSPBlank", "frmPrint", "frmPrintSign"};
    setObjectName(QLatin1String(names[variant]));
    setWindowTitle(QStringLiteral("報表預覽畫面"));

    m_vsp = new PrintDocument(this);
    m_vsp->setObjectName(QStringLiteral("vsp"));

    m_elaMin = new ElasticPanel(this);
    m_elaMin->setObjectName(QStringLiteral("elaMin"));
    m_elaMin->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *buttons = new QHBoxLayout(m_elaMin);
    buttons->setContentsMargins(4, 4, 4, 4);
    struct ButtonDef
    {
        const char *name;
        QString caption;
        void (PreviewWindow::*slot)();
    };
    const ButtonDef defs[] = {
        {"cmdFirst", QStringLiteral("第一頁"), &PreviewWindow::cmdFirst_Click},
        {"cmdPrevious", QStringLiteral("上一頁"), &PreviewWindow::cmdPrevious_Click},
        {"cmdNext", QStringLiteral("下一頁"), &PreviewWindow::cmdNext_Click},
        {"cmdLast", QStringLiteral("最後一頁"), &PreviewWindow::cmdLast_Click},
        {"cmdPrint", QStringLiteral("&P 列印"), &PreviewWindow::cmdPrint_Click},
        {"cmdPrintPage", QStringLiteral("列印本頁"), &PreviewWindow::cmdPrintPage_Click},
        {"cmdSetupPrinter", QStringLiteral("指定印表機"), &PreviewWindow::cmdSetupPrinter_Click},
        {"cmdSaveDoc", QStringLiteral("存檔"), &PreviewWindow::cmdSaveDoc_Click},
        {"cmdExit", QStringLiteral("離開"), &PreviewWindow::cmdExit_Click},
    };
    for (const ButtonDef &def : defs) {
        auto *button = new QPushButton(def.caption, m_elaMin);
        button->setObjectName(QLatin1String(def.name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, def.slot);
        buttons->addWidget(button);
    }
    m_cmdPrint = m_elaMin->findChild<QPushButton *>(QStringLiteral("cmdPrint"));
    m_cmdSaveDoc = m_elaMin->findChild<QPushButton *>(QStringLiteral("cmdSaveDoc"));

    m_cboZoom = new QComboBox(m_elaMin);
    m_cboZoom->setObjectName(QStringLiteral("cboZoom"));
    m_cboZoom->addItem(QStringLiteral("整頁"), 0);
    for (int percent : {50, 80, 100, 150, 200})
        m_cboZoom->addItem(QStringLiteral("%1%").arg(percent), percent);
    buttons->addWidget(m_cboZoom);
    m_lblPage = new QLabel(m_elaMin);
    m_lblPage->setObjectName(QStringLiteral("lblPage"));
    m_lblPage->setMinimumWidth(90);
    buttons->addWidget(m_lblPage);
    buttons->addStretch(1);

    m_vsFrame = new ElasticPanel(this);
    m_vsFrame->setObjectName(QStringLiteral("vsFrame"));
    m_vsFrame->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto *frameLayout = new QVBoxLayout(m_vsFrame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    m_view = new PreviewView(m_vsFrame);
    m_view->setObjectName(QStringLiteral("vspView"));
    m_view->setDocument(m_vsp);
    frameLayout->addWidget(m_view);

    // The mirror of the document's table lines; it is the CSV source, not shown.
    m_fgList = new FlexGrid(this);
    m_fgList->setObjectName(QStringLiteral("fgList"));
    m_fgList->setFixedRows(0);
    m_fgList->setRows(0);
    m_fgList->hide();
    m_imgLogo = new QLabel(this);
    m_imgLogo->setObjectName(QStringLiteral("imgLogo"));
    m_imgLogo->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_elaMin);
    layout->addWidget(m_vsFrame, 1);
    fitToScreen();
    addKeys();

    connect(m_view, &PreviewView::pageChanged, this, &PreviewWindow::updatePageLabel);
    connect(m_vsp, &PrintDocument::pagesChanged, this, &PreviewWindow::updatePageLabel);
    connect(m_view, &PreviewView::zoomChanged, this, [this]() {
        const int index = m_view->zoomMode() == PreviewView::WholePage
                              ? 0
                              : m_cboZoom->findData(qRound(m_view->zoom()));
        const QSignalBlocker block(m_cboZoom);
        m_cboZoom->setCurrentIndex(index);
    });
    connect(m_cboZoom, &QComboBox::activated, this, [this](int index) {
        const int percent = m_cboZoom->itemData(index).toInt();
        if (percent == 0) {
            m_view->setZoomMode(PreviewView::WholePage);
        } else {
            m_view->setZoom(percent);
            m_view->setZoomMode(PreviewView::Percentage);
        }
    });

    // Form_Load
    if (m_variant != Plain) {
        if (FileExist(Ini().gsLogoFile) && m_logo.load(Ini().gsLogoFile))
            m_imgLogo->setPixmap(QPixmap::fromImage(m_logo));
        if (m_variant == Signed)
            m_signLine = QStringLiteral("部門主管:                             單位主管:         "
                                        "                  製表人:");
        connect(m_vsp, &PrintDocument::documentEnded, this, &PreviewWindow::drawFrames);
    }
    applyWindowSettings();
    m_view->setZoom(80.0);
    m_view->setZoomMode(PreviewView::WholePage);
    updatePageLabel();
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::fitToScreen()
{
    // A page needs all the room the screen has: the window opens maximised, and a
    // restored window still fits the screen's free area.
    const QRect area = screen()->availableGeometry();
    resize(area.size() * 0.9);
    move(area.center() - rect().center());
    setWindowState(windowState() | Qt::WindowMaximized);
}

void PreviewWindow::addKeys()
{
    // Window-wide, so they work whichever button has the focus.
    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence(Qt::Key_Escape), [this] { cmdExit_Click(); }},
        {QKeySequence(Qt::Key_PageDown), [this] { cmdNext_Click(); }},
        {QKeySequence(Qt::Key_PageUp), [this] { cmdPrevious_Click(); }},
        {QKeySequence(Qt::Key_Home), [this] { cmdFirst_Click(); }},
        {QKeySequence(Qt::Key_End), [this] { cmdLast_Click(); }},
        {QKeySequence::Print, [this] { cmdPrint_Click(); }},
        {QKeySequence(Qt::Key_Plus), [this] { m_view->zoomIn(); }},
        {QKeySequence(Qt::Key_Equal), [this] { m_view->zoomIn(); }},
        {QKeySequence::ZoomIn, [this] { m_view->zoomIn(); }},
        {QKeySequence(Qt::Key_Minus), [this] { m_view->zoomOut(); }},
        {QKeySequence::ZoomOut, [this] { m_view->zoomOut(); }},
    };
    for (const auto &[key, action] : keys) {
        auto *shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, action);
    }
}

QString PreviewWindow::label(const char *procedure) const
{
    return objectName() + QLatin1Char('_') + QLatin1String(procedure);
}

void PreviewWindow::applyWindowSettings()
{
    PrintDocument &vsp = *m_vsp;
    if (m_variant == Plain) {
        // The plain window's own page: narrow side margins and a Ming face.
        vsp.setMarginLeft(720);
        vsp.setMarginRight(720);
        vsp.setMarginTop(1000);
        vsp.setMarginBottom(1000);
        vsp.setFontName(QStringLiteral("新細明體"));
        vsp.setTableSep(QStringLiteral("|;"));
    } else {
        vsp.setMarginLeft(1440);
        vsp.setMarginRight(1440);
        vsp.setMarginTop(1200);
        vsp.setMarginBottom(1000);
        vsp.setFontName(KaiFace);
        vsp.setTableSep(QStringLiteral("#;"));
    }
    vsp.setFontSize(10);
    vsp.setFontBold(false);
    vsp.setTextAlign(m_variant == Plain ? 0 : 6);
    vsp.setAutoPageBreak(true);
}

void PreviewWindow::discardDocument()
{
    m_vsp->killDoc();
    applyWindowSettings();
}

void PreviewWindow::ResetPage(std::optional<int> fgCols)
{
    ReportErrors(label("ResetPage"), ErrorReport::Log, [&] {
        PrintDocument &vsp = *m_vsp;
        setPreviewPage(1);
        vsp.setTableSep(m_variant == Plain ? QStringLiteral("|;") : QStringLiteral("#;"));
        if (m_variant != Plain) {
            vsp.setMarginTop(1200);
            vsp.setMarginBottom(1000);
            vsp.setFontName(KaiFace);
            vsp.setFontSize(10);
            vsp.setFontBold(false);
            m_view->setZoom(80.0);
            m_view->setZoomMode(PreviewView::WholePage);
            vsp.setTextAlign(6);
        }
        m_fgList->setClipSeparators(vsp.tableSep());
        m_fgList->setCols(fgCols ? qMax(1, *fgCols) : 100);
        m_cmdSaveDoc->setVisible(fgCols.has_value());
        m_fgList->setRows(0);
    });
}

void PreviewWindow::AddFGLine(const QString &line)
{
    ReportErrors(label("AddFGLine"), [&] {
        m_fgList->setClipSeparators(m_vsp->tableSep());
        const TableSeparators seps = TableSeparators::fromTableSep(m_vsp->tableSep());
        QString text = line;
        if (!text.isEmpty() && text.back() == seps.row)
            text.chop(1);
        AddFGLine(text.split(seps.column));
    });
}

void PreviewWindow::AddFGLine(const QStringList &cells)
{
    ReportErrors(label("AddFGLine"), [&] {
        // A line wider than the mirror widens it rather than losing its last cells.
        if (cells.size() > m_fgList->cols())
            m_fgList->setCols(int(cells.size()));
        m_fgList->addRow(cells);
    });
}

void PreviewWindow::SaveCSV(const QString &path, const QString &fileName)
{
    ReportErrors(label("SaveCSV"), [&] {
        if (!DirExist(path))
            return;
        const QString name = fileName.isEmpty() ? m_header : fileName;
        if (name.isEmpty())
            return;
        saveDocument(AddSep(path, QStringLiteral("/")) + name + QStringLiteral(".CSV"), false);
    });
}

void PreviewWindow::saveDocument(const QString &fileName, bool asPdf)
{
    if (asPdf) {
        m_vsp->savePdf(fileName);
        return;
    }
    if (!m_fgList->saveCsv(fileName))
        throw RunError(RunError::FileError, QStringLiteral("無法寫入檔案: ") + fileName);
}

void PreviewWindow::PrintTXT(QWidget *txtCtrl, const QString &paperType)
{
    ReportErrors(QStringLiteral("PrintTXT"), [&] {
        const QString text = controlText(txtCtrl);
        discardDocument();
        m_vsp->setOrientation(paperType == QLatin1String("Landscape") ? PrintDocument::Landscape
                                                                      : PrintDocument::Portrait);
        if (m_variant == Plain) {
            m_vsp->setFontName(KaiFace);
            m_vsp->setFontSize(10);
        } else {
            m_view->setZoom(45.0);
            m_vsp->setMarginLeft(1200);
            m_vsp->setMarginRight(1200);
            m_vsp->setFontSize(9);
        }
        m_vsp->startDoc();
        m_vsp->paragraph(text);
        m_vsp->endDoc();
        show();
    });
}

void PreviewWindow::PrintFile(const QString &fileName, const QString &paperType)
{
    ReportErrors(QStringLiteral("PrintFile"), [&] {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            throw RunError(RunError::FileError, QStringLiteral("無法開啟檔案: ") + fileName);
        const QString text = QString::fromUtf8(file.readAll());
        discardDocument();
        m_vsp->setOrientation(paperType == QLatin1String("Landscape") ? PrintDocument::Landscape
                                                                      : PrintDocument::Portrait);
        m_vsp->setFontName(KaiFace);
        m_vsp->setFontSize(10);
        m_vsp->startDoc();
        m_vsp->paragraph(text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text);
        m_vsp->endDoc();
        show();
    });
}

bool PreviewWindow::IsPrinterInstalled(const QString &printer)
{
    return ReportErrors(QStringLiteral("IsPrinterInstalled"),
                        [&] { return PrintDocument::devices().contains(printer); });
}

int PreviewWindow::previewPage() const
{
    return m_view->page();
}

void PreviewWindow::setPreviewPage(int page)
{
    m_view->setPage(page);
}

void PreviewWindow::updatePageLabel()
{
    m_lblPage->setText(QStringLiteral("頁次: %1/%2").arg(previewPage()).arg(m_vsp->pageCount()));
}

void PreviewWindow::cmdFirst_Click()
{
    ReportErrors(QStringLiteral("cmdFirst_Click"), ErrorReport::Ask, [&] { setPreviewPage(1); });
}

void PreviewWindow::cmdPrevious_Click()
{
    ReportErrors(QStringLiteral("cmdPrevious_Click"), ErrorReport::Ask, [&] {
        if (previewPage() != 1)
            setPreviewPage(previewPage() - 1);
    });
}

void PreviewWindow::cmdNext_Click()
{
    ReportErrors(QStringLiteral("cmdNext_Click"), ErrorReport::Ask, [&] {
        if (previewPage() != m_vsp->pageCount())
            setPreviewPage(previewPage() + 1);
    });
}

void PreviewWindow::cmdLast_Click()
{
    ReportErrors(QStringLiteral("cmdLast_Click"), ErrorReport::Ask,
                 [&] { setPreviewPage(m_vsp->pageCount()); });
}

void PreviewWindow::cmdPrint_Click()
{
    m_cmdPrint->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ReportErrors(QStringLiteral("cmdPrint_Click"), ErrorReport::Ask, [&] { m_vsp->printDoc(); });
    QApplication::restoreOverrideCursor();
    m_cmdPrint->setEnabled(true);
}

void PreviewWindow::cmdPrintPage_Click()
{
    ReportErrors(QStringLiteral("cmdPrintPage_Click"), [&] {
        if (previewPage() > 0)
            m_vsp->printDoc(previewPage(), previewPage());
    });
}

void PreviewWindow::cmdSetupPrinter_Click()
{
    ReportErrors(QStringLiteral("cmdSetupPrinter_Click"), [&] {
        const int pages = m_vsp->pageCount();
        if (pages == 0)
            return;
        QPrinter printer(QPrinter::HighResolution);
        const QString current =
            m_vsp->device().isEmpty() ? QPrinterInfo::defaultPrinterName() : m_vsp->device();
        if (!current.isEmpty())
            printer.setPrinterName(current);
        m_vsp->setupPrinter(printer);
        QPrintDialog dialog(&printer, this);
        dialog.setObjectName(QStringLiteral("dlgPrint"));
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
        dialog.setMinMax(1, pages);
        dialog.setFromTo(1, pages);
        if (dialog.exec() != QDialog::Accepted)
            return;
        // The range is read here and printed by our own loop (see printDoc).
        int from = 0, to = 0;
        if (printer.printRange() == QPrinter::PageRange) {
            from = printer.fromPage();
            to = printer.toPage();
        } else if (printer.printRange() == QPrinter::CurrentPage) {
            from = to = previewPage();
        }
        if (printer.outputFormat() == QPrinter::NativeFormat)
            m_vsp->setDevice(printer.printerName());
        m_vsp->printDoc(printer, from, to);
    });
}

QStringList PreviewWindow::fileDialogFilters(const QString &suiteFilter)
{
    QStringList filters;
    const QStringList parts = suiteFilter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QString pattern = parts[i + 1].trimmed();
        if (description.isEmpty() || pattern.isEmpty())
            continue;
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString own = QLatin1Char('(') + pattern + QLatin1Char(')');
        filters.append(description.endsWith(own) ? description
                                                 : description + QLatin1Char(' ') + own);
    }
    return filters;
}

void PreviewWindow::cmdSaveDoc_Click()
{
    ReportErrors(label("cmdSaveDoc_Click"), [&] {
        const QString proposed =
            m_header.isEmpty() ? SystemInfo::programName() + QStringLiteral("報表輸出") : m_header;
        QStringList filters = fileDialogFilters(CsvFilter);
        filters.insert(1, PdfFilter);
        QFileDialog dialog(this);
        dialog.setObjectName(QStringLiteral("dlgFile"));
        // Qt's own dialog: the same on every platform, and drivable offscreen.
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilters(filters);
        dialog.selectFile(proposed);
        // Nothing is saved unless the user confirms a name.
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        const QString fileName = dialog.selectedFiles().constFirst();
        if (fileName.isEmpty())
            return;
        const bool asPdf = dialog.selectedNameFilter() == PdfFilter ||
                           fileName.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto arrowAgain = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        saveDocument(fileName, asPdf);
    });
}

void PreviewWindow::cmdExit_Click()
{
    hide();
}

void PreviewWindow::drawFrames()
{
    ReportErrors(label("vsp_EndDoc"), [&] {
        PrintDocument &vsp = *m_vsp;
        QString custApp;
        m_custApp =
            getParamValue(QStringLiteral("CUSTAPP"), custApp) ? custApp.toUpper() : QString();
        QString reportHeader;
        const bool hasHeader = getParamValue(QStringLiteral("ReportHeader"), reportHeader);
        m_reportHeader = hasHeader ? reportHeader : QString();
        const bool razudav = m_custApp == QLatin1String("RAZUDAV1");
        QString headerLine;
        if (m_variant == Framed)
            headerLine = !hasHeader && !razudav
                             ? Ini().gsCustName
                             : (razudav ? m_reportHeader : m_reportHeader.toUpper());
        else
            headerLine = hasHeader ? m_reportHeader.toUpper() : Ini().gsCustName;
        const QString printed = QStringLiteral("列印時間: ") + ShortDateTimeText(Clock::now());
        const int pages = vsp.pageCount();
        for (int p = 1; p <= pages; ++p) {
            vsp.startOverlay(p);
            if (m_variant == Signed && !m_logo.isNull()) {
                const double dpmX = m_logo.dotsPerMeterX() > 0 ? m_logo.dotsPerMeterX() : 3780;
                const double dpmY = m_logo.dotsPerMeterY() > 0 ? m_logo.dotsPerMeterY() : 3780;
                const double w = m_logo.width() * TwipsPerInch / (dpmX * 0.0254);
                const double h = m_logo.height() * TwipsPerInch / (dpmY * 0.0254);
                vsp.drawPicture(m_logo, 800, 500, 800 + w, 500 + h);
            }
            vsp.setFontName(KaiFace);
            vsp.setFontSize(12);
            vsp.setFontBold(false);
            vsp.setCurrentX(vsp.marginLeft());
            vsp.setCurrentY(400);
            vsp.setTextAlign(1);
            vsp.paragraph(headerLine);
            vsp.setFontSize(15);
            vsp.setFontBold(true);
            vsp.setTextAlign(7);
            vsp.setCurrentY(700);
            vsp.setCurrentX(vsp.marginLeft());
            vsp.paragraph(m_header);
            vsp.setCurrentY(vsp.marginTop() - 300);
            vsp.setFontSize(8);
            vsp.setTextAlign(2);
            vsp.paragraph(printed);
            vsp.setCurrentX(vsp.marginLeft());
            vsp.setCurrentY(vsp.pageHeight() - vsp.marginBottom() + 150);
            const QString pageText = QStringLiteral("頁次:%1/%2").arg(p).arg(pages);
            if (m_variant == Framed) {
                vsp.setFontSize(8);
                vsp.paragraph(pageText);
            } else {
                vsp.setFontBold(true);
                vsp.setFontSize(10);
                vsp.setTextAlign(6);
                vsp.paragraph(m_signLine);
                vsp.setFontSize(8);
                vsp.setCurrentY(vsp.pageHeight() - vsp.marginBottom() + 600);
                vsp.setTextAlign(8);
                vsp.paragraph(pageText);
            }
            vsp.endOverlay();
        }
    });
}

namespace {
PreviewWindow &window(PreviewWindow::Variant variant)
{
    static QPointer<PreviewWindow> windows[3];
    if (!windows[variant])
        windows[variant] = OwnedForRun(new PreviewWindow(variant));
    return *windows[variant];
}
} // namespace

PreviewWindow &frmVSPBlank()
{
    return window(PreviewWindow::Plain);
}

PreviewWindow &frmPrint()
{
    return window(PreviewWindow::Framed);
}

PreviewWindow &frmPrintSign()
{
    return window(PreviewWindow::Signed);
}
