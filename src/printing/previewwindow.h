#pragma once

#include <QImage>
#include <QStringList>
#include <QWidget>
#include <optional>

class ElasticPanel;
class FlexGrid;
class PreviewView;
class PrintDocument;
class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;

// The print preview window. Every printout is composed into its print component vsp(),
// shown page by page, printed (all pages, the page on screen, or a range on a printer
// chosen in the print dialog) and its table lines, mirrored into the grid fgList, saved as
// CSV. Three variants share this class:
//   Plain  (frmVSPBlank)  - documents carry only what their composer prints;
//   Framed (frmPrint)     - a page frame (report header, title, print time, page number)
//                           is drawn over every page when the document ends;
//   Signed (frmPrintSign) - the framed window plus the logo and a signature line.
// Windows are made on first use by the accessors below and only hidden when closed.
//
// A printout: discardDocument(), set the orientation, vsp().startDoc(), ResetPage(20),
// compose (AddFGLine for every table line to be saved), vsp().endDoc(), show().
//
// Keys: Esc closes (as 離開); PageDown, PageUp, Home and End page as the paging buttons;
// Ctrl+P prints as "&P 列印"; + and - zoom.
class PreviewWindow : public QWidget
{
    Q_OBJECT
public:
    enum Variant { Plain, Framed, Signed };

    explicit PreviewWindow(Variant variant, QWidget *parent = nullptr);
    ~PreviewWindow() override;

    Variant variant() const { return m_variant; }
    PrintDocument &vsp() const { return *m_vsp; }
    FlexGrid *fgList() const { return m_fgList; }
    PreviewView *view() const { return m_view; }

    // The document's title: printed in the frame and proposed as the saved file's name.
    QString fvHeader() const { return m_header; }
    void setFvHeader(const QString &header) { m_header = header; }
    QString fvSignLine() const { return m_signLine; }
    QString gvCustApp() const { return m_custApp; }
    QString gvReportHeader() const { return m_reportHeader; }

    // Empties the document and puts back this window's page settings (margins, face,
    // size, alignment, table separators), so that nothing set by the previous printout
    // carries over into the next.
    void discardDocument();

    // Prepares the window for a new document; with a column count the CSV save button is
    // shown and the mirror grid gets that many columns.
    void ResetPage(std::optional<int> fgCols = std::nullopt);
    // Appends one table line (in the component's table notation) to the mirror grid.
    void AddFGLine(const QString &line);
    // The same with the cells given one by one (separator characters stay in their cell).
    void AddFGLine(const QStringList &cells);
    // Saves the mirror grid as <path>/<name>.CSV when path is a folder and the name (or,
    // without one, fvHeader) is not empty.
    void SaveCSV(const QString &path, const QString &fileName = QString());
    // Prints the text of a text box (QLineEdit, QTextEdit, QPlainTextEdit) or of a text
    // file as the document and shows the window. Paper type "Landscape" or portrait.
    void PrintTXT(QWidget *txtCtrl, const QString &paperType = QString());
    void PrintFile(const QString &fileName, const QString &paperType = QString());
    bool IsPrinterInstalled(const QString &printer);

    // The page on screen (1-based).
    int previewPage() const;
    void setPreviewPage(int page);

    // Writes the mirror grid (CSV) or, for a name ending in ".pdf", the document (PDF).
    // Throws RunError when the file cannot be written.
    void saveDocument(const QString &fileName, bool asPdf);
    // The save dialog's filters from the suite's "desc|pattern|desc|pattern|" form.
    static QStringList fileDialogFilters(const QString &suiteFilter);

public Q_SLOTS:
    void cmdFirst_Click();
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmdLast_Click();
    void cmdPrint_Click();
    void cmdPrintPage_Click();
    void cmdSetupPrinter_Click();
    void cmdSaveDoc_Click();
    void cmdExit_Click();

private:
    QString label(const char *procedure) const;
    void fitToScreen();
    void addKeys(); // the keyboard's way to the buttons and the zoom
    void applyWindowSettings();
    void drawFrames();
    void updatePageLabel();

    Variant m_variant;
    PrintDocument *m_vsp = nullptr;
    PreviewView *m_view = nullptr;
    ElasticPanel *m_vsFrame = nullptr;
    ElasticPanel *m_elaMin = nullptr;
    FlexGrid *m_fgList = nullptr;
    QLabel *m_imgLogo = nullptr;
    QLabel *m_lblPage = nullptr;
    QComboBox *m_cboZoom = nullptr;
    QPushButton *m_cmdPrint = nullptr;
    QPushButton *m_cmdSaveDoc = nullptr;
    QImage m_logo;
    QString m_header;
    QString m_signLine;
    QString m_custApp;
    QString m_reportHeader;
};

// The three windows, made on first use.
PreviewWindow &frmVSPBlank();
PreviewWindow &frmPrint();
PreviewWindow &frmPrintSign();
