#include "printing/printingfixture.h"

#include "common/clock.h"
#include "common/state.h"
#include "platform/print/previewview.h"
#include "platform/print/printdocument.h"
#include "support/modal.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A document of the given number of pages, each saying which page it is.
void ComposePages(PreviewWindow &w, int pages)
{
    w.discardDocument();
    w.vsp().startDoc();
    w.ResetPage(20);
    for (int p = 1; p <= pages; ++p) {
        if (p > 1)
            w.vsp().newPage();
        w.vsp().paragraph(QStringLiteral("內容第%1頁").arg(p));
        // A bar half an inch long per page number: a print queue's PDF converter does not
        // keep text readable, but pictures survive it.
        QImage bar(8, 8, QImage::Format_RGB32);
        bar.fill(Qt::black);
        w.vsp().drawPicture(bar, 1440, 3000, 1440 + p * 720, 3360);
        w.AddFGLine(QStringLiteral("第%1頁|x;").arg(p));
    }
    w.vsp().endDoc();
}

// Types a name into the save dialog as a user would.
void TypeFileName(QFileDialog *dialog, const QString &path)
{
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    edit->setText(path);
}

class PreviewWindowTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    void TearDown() override
    {
        frmVSPBlank().hide();
        frmPrint().hide();
        frmPrintSign().hide();
    }
};

TEST_F(PreviewWindowTest, WindowsAreMadeOnceWithTheirCaptionAndButtons)
{
    PreviewWindow &w = frmVSPBlank();
    EXPECT_EQ(&w, &frmVSPBlank());
    EXPECT_EQ(w.objectName(), QStringLiteral("frmVSPBlank"));
    EXPECT_EQ(frmPrint().objectName(), QStringLiteral("frmPrint"));
    EXPECT_EQ(frmPrintSign().objectName(), QStringLiteral("frmPrintSign"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("報表預覽畫面"));
    const QList<std::pair<const char *, const char *>> captions = {
        {"cmdFirst", "第一頁"},
        {"cmdPrevious", "上一頁"},
        {"cmdNext", "下一頁"},
        {"cmdLast", "最後一頁"},
        {"cmdPrint", "&P 列印"},
        {"cmdPrintPage", "列印本頁"},
        {"cmdSetupPrinter", "指定印表機"},
        {"cmdSaveDoc", "存檔"},
        {"cmdExit", "離開"}};
    for (const auto &[name, caption] : captions) {
        QPushButton *button = Button(w, name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), QString::fromUtf8(caption)) << name;
    }
    EXPECT_EQ(w.vsp().objectName(), QStringLiteral("vsp"));
    EXPECT_EQ(w.fgList()->objectName(), QStringLiteral("fgList"));
    EXPECT_EQ(w.vsp().tableSep(), QStringLiteral("|;"));
    EXPECT_EQ(frmPrint().vsp().tableSep(), QStringLiteral("#;"));
    EXPECT_EQ(frmPrintSign().fvSignLine(),
              QStringLiteral("部門主管:") + QString(29, QLatin1Char(' ')) +
                  QStringLiteral("單位主管:") + QString(27, QLatin1Char(' ')) +
                  QStringLiteral("製表人:"));

    w.show();
    QTest::mouseClick(Button(w, "cmdExit"), Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(&w, &frmVSPBlank()) << "closing only hides";
}

TEST_F(PreviewWindowTest, PagingButtonsStayWithinTheDocument)
{
    PreviewWindow &w = frmVSPBlank();
    ComposePages(w, 4);
    w.show();
    QApplication::processEvents();
    auto *label = w.findChild<QLabel *>(QStringLiteral("lblPage"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(w.previewPage(), 1);
    EXPECT_EQ(label->text(), QStringLiteral("頁次: 1/4"));
    QTest::mouseClick(Button(w, "cmdPrevious"), Qt::LeftButton);
    EXPECT_EQ(w.previewPage(), 1);
    QTest::mouseClick(Button(w, "cmdNext"), Qt::LeftButton);
    EXPECT_EQ(w.previewPage(), 2);
    EXPECT_EQ(label->text(), QStringLiteral("頁次: 2/4"));
    QTest::mouseClick(Button(w, "cmdLast"), Qt::LeftButton);
    EXPECT_EQ(w.previewPage(), 4);
    QTest::mouseClick(Button(w, "cmdNext"), Qt::LeftButton);
    EXPECT_EQ(w.previewPage(), 4);
    QTest::mouseClick(Button(w, "cmdPrevious"), Qt::LeftButton);
    EXPECT_EQ(w.previewPage(), 3);
    QTest::mouseClick(Button(w, "cmdFirst"), Qt::LeftButton);
    EXPECT_EQ(w.previewPage(), 1);

    // Zoom: whole page fits the view; double-click toggles to the percentage.
    PreviewView *view = w.view();
    EXPECT_EQ(view->zoomMode(), PreviewView::WholePage);
    const QImage whole = view->pageImage();
    EXPECT_LE(whole.height(), view->viewport()->height());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton);
    EXPECT_EQ(view->zoomMode(), PreviewView::Percentage);
    view->setZoom(150);
    EXPECT_GT(view->pageImage().height(), whole.height());
}

// The page on screen, read from the view's picture: ComposePages draws a bar of the page
// number's half inches.
int ShownPage(PreviewView *view)
{
    const QImage image = view->pageImage();
    if (image.isNull())
        return 0;
    const double perTwip = image.width() / view->document()->pageWidth();
    const int y = qRound(3180 * perTwip);
    int dark = 0;
    for (int x = 0; x < image.width(); ++x)
        dark += qGray(image.pixel(x, y)) < 100;
    return qRound(dark / (720 * perTwip));
}

TEST_F(PreviewWindowTest, KeysPageZoomPrintAndClose)
{
    PreviewWindow &w = frmVSPBlank();
    ComposePages(w, 4);
    w.vsp().setDevice(QStringLiteral("no such printer 4711"));
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    // The keys work wherever the focus is: on a button here.
    Button(w, "cmdNext")->setFocus();
    auto press = [](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    };
    const std::pair<Qt::Key, int> paging[] = {
        {Qt::Key_PageDown, 2}, {Qt::Key_PageDown, 3}, {Qt::Key_End, 4},    {Qt::Key_PageDown, 4},
        {Qt::Key_PageUp, 3},   {Qt::Key_Home, 1},     {Qt::Key_PageUp, 1}, {Qt::Key_End, 4}};
    int step = 0;
    for (const auto &[key, page] : paging) {
        press(key);
        EXPECT_EQ(w.previewPage(), page) << "step " << step;
        EXPECT_EQ(ShownPage(w.view()), page) << "step " << step;
        ++step;
    }

    // + and - zoom from the whole page.
    PreviewView *view = w.view();
    const QSizeF whole = view->pageImage().deviceIndependentSize();
    press(Qt::Key_Plus);
    EXPECT_EQ(view->zoomMode(), PreviewView::Percentage);
    const QSizeF larger = view->pageImage().deviceIndependentSize();
    EXPECT_NEAR(larger.width() / whole.width(), 1.25, 0.02);
    press(Qt::Key_Minus);
    press(Qt::Key_Minus);
    EXPECT_LT(view->pageImage().deviceIndependentSize().width(), whole.width());
    EXPECT_EQ(ShownPage(view), 4) << "zooming keeps the page";

    // Ctrl+P prints as the print button: here to a printer that is not there.
    auto seen = TestModal::answerMessageBox(QMessageBox::No);
    press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(seen->shown);
    EXPECT_TRUE(seen->text.contains(QStringLiteral("cmdPrint_Click"))) << seen->text.toStdString();
    EXPECT_TRUE(seen->text.contains(QStringLiteral("no such printer 4711")))
        << seen->text.toStdString();
    EXPECT_TRUE(Button(w, "cmdPrint")->isEnabled());
    // A desktop hands the activation back to the preview; offscreen there is no window
    // manager to do it.
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_NE(QApplication::focusWidget(), nullptr);

    // Esc closes as 離開: the window is hidden, not gone.
    press(Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(&w, &frmVSPBlank());
    w.vsp().setDevice(QString());
}

// Run again by CTest at scale factors 1.5 and 2 on a 1920x1080 screen.
TEST_F(PreviewWindowTest, WindowFitsTheScreenAndDrawsAtItsPixelRatio)
{
    PreviewWindow &w = frmVSPBlank();
    ComposePages(w, 2);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QApplication::processEvents();
    const QRect area = w.screen()->availableGeometry();
    EXPECT_TRUE(area.contains(w.frameGeometry()))
        << "window " << w.frameGeometry().width() << "x" << w.frameGeometry().height() << " on "
        << area.width() << "x" << area.height();
    EXPECT_GE(w.width(), area.width() * 0.85);
    EXPECT_GE(w.height(), area.height() * 0.8);

    const double ratio = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    EXPECT_DOUBLE_EQ(w.devicePixelRatioF(), ratio);
    PreviewView *view = w.view();
    view->setZoomMode(PreviewView::WholePage);
    const QImage page = view->pageImage();
    EXPECT_DOUBLE_EQ(page.devicePixelRatio(), ratio);
    // The whole page is in sight...
    const QSize room = view->viewport()->size();
    EXPECT_LE(page.deviceIndependentSize().width(), room.width());
    EXPECT_LE(page.deviceIndependentSize().height(), room.height());
    // ...drawn with a pixel of the picture for each pixel of the screen.
    const double fill =
        qMax(page.width() / double(room.width()), page.height() / double(room.height()));
    EXPECT_GT(fill, ratio * 0.9) << "the picture has the screen's pixels, not fewer";
    EXPECT_LE(fill, ratio);
    EXPECT_EQ(ShownPage(view), 1);
}

TEST_F(PreviewWindowTest, ResetPageAndMirrorLines)
{
    PreviewWindow &w = frmVSPBlank();
    w.show();
    w.ResetPage();
    EXPECT_FALSE(Button(w, "cmdSaveDoc")->isVisible());
    EXPECT_EQ(w.fgList()->cols(), 100);
    w.ResetPage(20);
    EXPECT_TRUE(Button(w, "cmdSaveDoc")->isVisible());
    EXPECT_EQ(w.fgList()->cols(), 20);
    EXPECT_EQ(w.fgList()->rows(), 0);

    w.AddFGLine(QStringLiteral("a|b;"));
    w.AddFGLine(QStringLiteral("a|b"));
    w.AddFGLine(QString());
    ASSERT_EQ(w.fgList()->rows(), 3);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(w.fgList()->textMatrix(r, 0), QStringLiteral("a"));
        EXPECT_EQ(w.fgList()->textMatrix(r, 1), QStringLiteral("b"));
        EXPECT_EQ(w.fgList()->textMatrix(r, 2), QString());
    }
    EXPECT_EQ(w.fgList()->textMatrix(2, 0), QString());
    // A line wider than the mirror keeps all its cells.
    QStringList wide;
    for (int i = 0; i < 24; ++i)
        wide << QString::number(i);
    w.AddFGLine(wide.join(QLatin1Char('|')) + QLatin1Char(';'));
    EXPECT_EQ(w.fgList()->textMatrix(3, 23), QStringLiteral("23"));
}

TEST_F(PreviewWindowTest, SaveDialogWritesCsvOrPdfAndNothingWhenCancelled)
{
    PreviewWindow &w = frmVSPBlank();
    w.setFvHeader(QString());
    ComposePages(w, 3);
    w.AddFGLine(QStringList{QStringLiteral("中文,逗號"), QStringLiteral("引\"號"),
                            QStringLiteral("兩\n行"), QStringLiteral("+A1"), QStringLiteral("@x")});
    w.show();

    // Cancel: the proposed name is the program's name and "報表輸出"; nothing is written.
    QString proposed;
    TestModal::whenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), QStringLiteral("dlgFile"));
        dialog->setDirectory(dir.path());
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        proposed = edit ? edit->text() : QString();
        EXPECT_EQ(dialog->nameFilters().value(0), QStringLiteral("csv檔案(*.csv)"));
        EXPECT_EQ(dialog->nameFilters().value(1), QStringLiteral("pdf檔案(*.pdf)"));
        EXPECT_EQ(dialog->nameFilters().value(2), QStringLiteral("所有檔案 (*)"));
        dialog->reject();
    });
    QTest::mouseClick(Button(w, "cmdSaveDoc"), Qt::LeftButton);
    EXPECT_TRUE(proposed.endsWith(QStringLiteral("報表輸出"))) << proposed.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    // A name chosen: the mirror is saved to exactly that name.
    const QString csvPath = dir.filePath(QStringLiteral("月報.csv"));
    TestModal::whenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        TypeFileName(dialog, csvPath);
        static_cast<QDialog *>(dialog)->accept();
    });
    QTest::mouseClick(Button(w, "cmdSaveDoc"), Qt::LeftButton);
    QFile file(csvPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.contains("\r\n"));
    const QList<QStringList> rows = ParseRfc4180(QString::fromUtf8(bytes.mid(3)));
    ASSERT_EQ(rows.size(), 4);
    for (int p = 1; p <= 3; ++p) {
        EXPECT_EQ(rows[p - 1].value(0), QStringLiteral("第%1頁").arg(p));
        EXPECT_EQ(rows[p - 1].value(1), QStringLiteral("x"));
    }
    EXPECT_EQ(rows[3].mid(0, 5), (QStringList{QStringLiteral("中文,逗號"), QStringLiteral("引\"號"),
                                              QStringLiteral("兩\n行"), QStringLiteral("'+A1"),
                                              QStringLiteral("'@x")}));

    // The pdf filter writes the whole document.
    const QString pdfPath = dir.filePath(QStringLiteral("月報.pdf"));
    TestModal::whenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        dialog->selectNameFilter(QStringLiteral("pdf檔案(*.pdf)"));
        TypeFileName(dialog, pdfPath);
        static_cast<QDialog *>(dialog)->accept();
    });
    QTest::mouseClick(Button(w, "cmdSaveDoc"), Qt::LeftButton);
    EXPECT_EQ(PdfText::pages(pdfPath), 3);
    EXPECT_TRUE(PdfText::text(pdfPath, 2, 2).contains(QStringLiteral("內容第2頁")));
}

TEST_F(PreviewWindowTest, SaveCsvIntoAFolder)
{
    PreviewWindow &w = frmVSPBlank();
    ComposePages(w, 1);
    w.SaveCSV(dir.filePath(QStringLiteral("missing")), QStringLiteral("x"));
    w.setFvHeader(QString());
    w.SaveCSV(dir.path());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    w.SaveCSV(dir.path(), QStringLiteral("盤點"));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("盤點.CSV"))));
    w.setFvHeader(QStringLiteral("標題"));
    w.SaveCSV(dir.path() + QLatin1Char('/'));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("標題.CSV"))));
    w.setFvHeader(QString());
}

TEST_F(PreviewWindowTest, FramedAndSignedWindowsDrawTheirFrameAtTheEnd)
{
    EditIni().gsCustName = QStringLiteral("測試公司");
    PreviewWindow &framed = frmPrint();
    framed.setFvHeader(QStringLiteral("月報表"));
    ComposePages(framed, 3);
    const QString framedPdf = dir.filePath(QStringLiteral("framed.pdf"));
    framed.vsp().savePdf(framedPdf);
    for (int p = 1; p <= 3; ++p) {
        const QString text = PdfText::text(framedPdf, p, p);
        EXPECT_TRUE(text.contains(QStringLiteral("頁次:%1/3").arg(p))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("測試公司")));
        EXPECT_TRUE(text.contains(QStringLiteral("月報表")));
        EXPECT_TRUE(text.contains(QStringLiteral("列印時間:")));
    }

    PreviewWindow &sign = frmPrintSign();
    ComposePages(sign, 2);
    const QString signPdf = dir.filePath(QStringLiteral("sign.pdf"));
    sign.vsp().savePdf(signPdf);
    const QString text = PdfText::text(signPdf, 2, 2);
    EXPECT_TRUE(text.contains(QStringLiteral("部門主管:")));
    EXPECT_TRUE(text.contains(QStringLiteral("製表人:")));
    EXPECT_TRUE(text.contains(QStringLiteral("頁次:2/2")));
    framed.setFvHeader(QString());
}

TEST_F(PreviewWindowTest, PrintTextAndTextFiles)
{
    PreviewWindow &w = frmVSPBlank();
    QLineEdit box;
    box.setText(QStringLiteral("文字方塊的內容"));
    w.PrintTXT(&box, QStringLiteral("Landscape"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.vsp().orientation(), PrintDocument::Landscape);
    QString pdf = dir.filePath(QStringLiteral("txt.pdf"));
    w.vsp().savePdf(pdf);
    EXPECT_TRUE(PdfText::text(pdf).contains(QStringLiteral("文字方塊的內容")));

    const QString textFile = dir.filePath(QStringLiteral("a.txt"));
    QFile f(textFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("檔案第一行\r\n檔案第二行\r\n").toUtf8());
    f.close();
    w.PrintFile(textFile);
    EXPECT_EQ(w.vsp().orientation(), PrintDocument::Portrait);
    pdf = dir.filePath(QStringLiteral("file.pdf"));
    w.vsp().savePdf(pdf);
    const QString text = PdfText::text(pdf);
    EXPECT_LT(text.indexOf(QStringLiteral("檔案第一行")),
              text.indexOf(QStringLiteral("檔案第二行")));
    EXPECT_FALSE(w.IsPrinterInstalled(QStringLiteral("no such printer 4711")));
}

TEST_F(PreviewWindowTest, SetupPrinterOnAnEmptyDocumentOpensNoDialog)
{
    PreviewWindow &w = frmVSPBlank();
    w.discardDocument();
    w.show();
    auto opened = TestModal::whenModal([](QWidget *modal) { modal->close(); }, 500);
    QTest::mouseClick(Button(w, "cmdSetupPrinter"), Qt::LeftButton);
    TestModal::waitFor([&]() { return *opened; }, 700);
    EXPECT_FALSE(*opened);
}

// The page number drawn as a bar by ComposePages, read from a printed file's page.
int PageMarker(const QString &pdf, int page)
{
    QTemporaryDir out;
    const QString prefix = out.filePath(QStringLiteral("page"));
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
                       QStringLiteral("-singlefile"), QStringLiteral("-f"), QString::number(page),
                       QStringLiteral("-l"), QString::number(page), pdf, prefix});
    const QImage image(prefix + QStringLiteral(".png"));
    if (image.isNull())
        return -1;
    const int y = qRound(3180 / 20.0);
    int dark = 0;
    for (int x = 0; x < image.width(); ++x)
        dark += qGray(image.pixel(x, y)) < 100;
    return qRound(dark / 36.0);
}

// Printing through a real print queue (a CUPS PDF printer set up by the test command).
class PrinterTest : public PreviewWindowTest
{
protected:
    QString printer, out;
    QStringList before;

    void SetUp() override
    {
        printer = qEnvironmentVariable("TOVRAN_TEST_PRINTER");
        out = qEnvironmentVariable("TOVRAN_TEST_PRINTER_OUT");
        if (printer.isEmpty() || out.isEmpty())
            GTEST_SKIP() << "no test printer: TOVRAN_TEST_PRINTER/TOVRAN_TEST_PRINTER_OUT unset "
                            "(scripts/test.sh sets up a CUPS PDF queue when cups-pdf is there)";
        if (!PrintDocument::devices().contains(printer))
            GTEST_SKIP() << "printer " << printer.toStdString() << " is not installed";
        QDir().mkpath(out);
        before = PdfFiles(out);
    }

    // Waits for the queue's next printed file and gives its path.
    QString printedFile()
    {
        QString found;
        TestModal::waitFor(
            [&]() {
                for (const QString &name : PdfFiles(out))
                    if (!before.contains(name)) {
                        const QString path = QDir(out).filePath(name);
                        if (PdfText::pages(path) > 0) {
                            found = path;
                            return true;
                        }
                    }
                return false;
            },
            60000);
        if (!found.isEmpty())
            before.append(QFileInfo(found).fileName());
        return found;
    }
};

TEST_F(PrinterTest, PrintAllThePageOnScreenAndARange)
{
    PreviewWindow &w = frmVSPBlank();
    EXPECT_TRUE(w.IsPrinterInstalled(printer));
    ComposePages(w, 4);
    w.vsp().setDevice(printer);
    w.vsp().setDocName(QStringLiteral("tovran-test"));
    w.show();

    QTest::mouseClick(Button(w, "cmdPrint"), Qt::LeftButton);
    QString file = printedFile();
    ASSERT_FALSE(file.isEmpty()) << "nothing printed to " << out.toStdString();
    EXPECT_EQ(PdfText::pages(file), 4);
    for (int p = 1; p <= 4; ++p)
        EXPECT_EQ(PageMarker(file, p), p);

    QTest::mouseClick(Button(w, "cmdLast"), Qt::LeftButton);
    QTest::mouseClick(Button(w, "cmdPrevious"), Qt::LeftButton);
    QTest::mouseClick(Button(w, "cmdPrintPage"), Qt::LeftButton);
    file = printedFile();
    ASSERT_FALSE(file.isEmpty());
    EXPECT_EQ(PdfText::pages(file), 1);
    EXPECT_EQ(PageMarker(file, 1), 3);

    // The print dialog with pages 2 to 3.
    TestModal::whenModal([](QWidget *modal) {
        auto *dialog = qobject_cast<QPrintDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        auto *range = dialog->findChild<QRadioButton *>(QStringLiteral("printRange"));
        auto *from = dialog->findChild<QSpinBox *>(QStringLiteral("from"));
        auto *to = dialog->findChild<QSpinBox *>(QStringLiteral("to"));
        ASSERT_TRUE(range && from && to);
        range->setChecked(true);
        to->setValue(3);
        from->setValue(2);
        auto *box = dialog->findChild<QDialogButtonBox *>();
        ASSERT_NE(box, nullptr);
        box->button(QDialogButtonBox::Ok)->click();
    });
    QTest::mouseClick(Button(w, "cmdSetupPrinter"), Qt::LeftButton);
    file = printedFile();
    ASSERT_FALSE(file.isEmpty());
    EXPECT_EQ(PdfText::pages(file), 2);
    EXPECT_EQ(PageMarker(file, 1), 2);
    EXPECT_EQ(PageMarker(file, 2), 3);
}

TEST_F(PrinterTest, CancelledPrintDialogPrintsNothing)
{
    PreviewWindow &w = frmVSPBlank();
    ComposePages(w, 2);
    w.vsp().setDevice(printer);
    w.show();
    auto shown = TestModal::whenModal([](QWidget *modal) {
        ASSERT_NE(qobject_cast<QPrintDialog *>(modal), nullptr);
        qobject_cast<QDialog *>(modal)->reject();
    });
    QTest::mouseClick(Button(w, "cmdSetupPrinter"), Qt::LeftButton);
    EXPECT_TRUE(*shown);
    // Give a job that should not exist the time a real one takes.
    QTest::qWait(3000);
    EXPECT_EQ(PdfFiles(out), before);
}

} // namespace
