#include "dialogs/frmsure.h"

#include "common/errorreport.h"
#include "forms/formhelpers.h"
#include "forms/runwindows.h"
#include "platform/db/connection.h"
#include "platform/grid/flexgrid.h"
#include "platform/widgets/elasticpanel.h"
#include "platform/widgets/screenunits.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Measures of the window in twips.
constexpr int FormWidth = 6600;
constexpr int FormHeightFull = 5910;
constexpr int FormHeightShort = 4200;
constexpr int ButtonAreaHeight = 900;
constexpr int ButtonWidth = 1500;
constexpr int ButtonHeight = 600;
constexpr int ListFontSize = 12;

QPushButton *makeButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setFixedSize(ScreenTwipsToPixels(ButtonWidth), ScreenTwipsToPixels(ButtonHeight));
    QFont f = button->font();
    f.setPointSize(12);
    button->setFont(f);
    return button;
}
} // namespace

frmSure::frmSure(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSure"));
    setModal(true);
    setFixedWidth(ScreenTwipsToPixels(FormWidth));

    lblCustName = new QLabel(this);
    lblCustName->setObjectName(QStringLiteral("lblCustName"));
    lblCustName->setAlignment(Qt::AlignCenter);

    ela1 = new ElasticPanel(this);
    ela1->setObjectName(QStringLiteral("ela1"));
    ela1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    elaMsg = new ElasticPanel(ela1);
    elaMsg->setObjectName(QStringLiteral("elaMsg"));
    elaMsg->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    elaMsg->setFrameStyle(QFrame::NoFrame);
    elaMsg->setCaptionAlignment(Qt::Alignment::fromInt(Qt::AlignCenter | Qt::TextWordWrap));
    QFont msgFont = elaMsg->font();
    msgFont.setPointSize(14);
    elaMsg->setFont(msgFont);
    auto *msgLayout = new QVBoxLayout(ela1);
    msgLayout->setContentsMargins(6, 6, 6, 6);
    msgLayout->addWidget(elaMsg);

    elaList = new ElasticPanel(this);
    elaList->setObjectName(QStringLiteral("elaList"));
    elaList->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    fgList = new FlexGrid(elaList);
    fgList->setObjectName(QStringLiteral("fgList"));
    fgList->setEditable(false);
    auto *listLayout = new QVBoxLayout(elaList);
    listLayout->setContentsMargins(2, 2, 2, 2);
    listLayout->addWidget(fgList);

    // The buttons are placed by hand: their positions follow from the area's width.
    elaSure = new ElasticPanel(this);
    elaSure->setObjectName(QStringLiteral("elaSure"));
    elaSure->setFixedHeight(ScreenTwipsToPixels(ButtonAreaHeight));
    cmdOK = makeButton(QStringLiteral("cmdOK"), QStringLiteral("確定"), elaSure);
    cmdCancel = makeButton(QStringLiteral("cmdCancel"), QStringLiteral("取消"), elaSure);
    // Enter answers with the first button wherever the focus is in the window; Esc is
    // the second button (reject).
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmSure::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSure::cmdCancel_Click);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(lblCustName);
    layout->addWidget(ela1, 1);
    layout->addWidget(elaList, 2);
    layout->addWidget(elaSure);

    ReportErrors(QStringLiteral("frmSure_Form_Load"), [&] {
        fvFormSize.clear();
        ClearMsgFrom();
        elaList->hide();
    });
}

bool frmSure::SHOWMSG(const QString &pvMsg, const QString &pvTitle, const QString &pvReturn,
                      Ado::Recordset *pRST, const QString &pvButtonOKTitle,
                      const QString &pvButtonCancelTitle, bool pbShortSize)
{
    // Leaving by the title bar is no button press: it answers false.
    m_result = false;
    ReportErrors(QStringLiteral("frmSure_ShowMsg"), [&] {
        QApplication::processEvents();
        elaMsg->setCaption(pvMsg);
        if (pRST)
            PickRST(pRST);
        elaList->setVisible(fgList->rows() > 0 && fgList->cols() != 1);
        ela1->setVisible(!pvMsg.trimmed().isEmpty());
        cmdOK->setText(pvButtonOKTitle);
        cmdCancel->setText(pvButtonCancelTitle);
        setWindowTitle(pvTitle);
        placeButtons(pvReturn.toUpper() == QLatin1String("N"));
        m_heightTwips = pbShortSize && fgList->rows() == 0 ? FormHeightShort : FormHeightFull;
        setFixedHeight(ScreenTwipsToPixels(m_heightTwips));
        FormCenter(this);
        cmdOK->setFocus(); // not the list, which keeps Enter to itself
        exec();
    });
    return m_result;
}

void frmSure::placeButtons(bool oneButton)
{
    const int areaWidth = FormWidth;
    const int top = ScreenTwipsToPixels((ButtonAreaHeight - ButtonHeight) / 2);
    cmdCancel->setVisible(!oneButton);
    if (oneButton) {
        cmdOK->move(ScreenTwipsToPixels((areaWidth - ButtonWidth) / 2), top);
        return;
    }
    const int gap = (areaWidth - ButtonWidth - ButtonWidth) / 3; // three equal gaps
    cmdOK->move(ScreenTwipsToPixels(gap), top);
    cmdCancel->move(ScreenTwipsToPixels(2 * gap + ButtonWidth), top);
}

void frmSure::AddLine(const QString &pvLine)
{
    ReportErrors(QStringLiteral("frmSure_AddLine"), [&] {
        const QStringList pieces = pvLine.split(QLatin1Char('\t'));
        fgList->setCols(static_cast<int>(pieces.size()));
        fgList->addRow(pieces);
        fgList->autoSize(0, fgList->cols() - 1);
    });
}

void frmSure::ClearMsgFrom()
{
    ReportErrors(QStringLiteral("frmSure_ClearFrom"), [&] {
        elaMsg->setCaption(QString());
        fgList->setFixedRows(0);
        fgList->setFixedCols(0);
        fgList->setRows(0);
        fgList->setCols(0);
        QFont f = fgList->font();
        f.setPointSize(ListFontSize);
        fgList->setFont(f);
    });
}

void frmSure::SetList(int pvFixedCols, int pvFixedRows, int pvFontSize)
{
    ReportErrors(QStringLiteral("frmSure_SetList"), [&] {
        fgList->setFixedCols(pvFixedCols);
        fgList->setFixedRows(pvFixedRows);
        QFont f = fgList->font();
        f.setPointSize(pvFontSize);
        fgList->setFont(f);
    });
}

bool frmSure::PickRST(Ado::Recordset *pRST)
{
    ReportErrors(QStringLiteral("frmSure_PickRST"), [&] {
        fgList->setCols(1);
        fgList->setRows(0);
        if (!pRST || pRST->eof())
            return;
        const int fields = pRST->fieldCount();
        for (int i = 0; i < fields; ++i)
            fgList->addRow({pRST->fieldName(i)});
        fgList->setFixedCols(1);
        while (!pRST->eof()) {
            const int col = fgList->cols();
            fgList->setCols(col + 1);
            fgList->setColAlignment(col, FlexGrid::AlignLeft);
            for (int i = 0; i < fields; ++i)
                fgList->setTextMatrix(i, col, pRST->text(i));
            pRST->moveNext();
        }
        fgList->autoSize(0, fgList->cols() - 1);
    });
    return false;
}

void frmSure::cmdOK_Click()
{
    m_result = true;
    hide();
}

void frmSure::cmdCancel_Click()
{
    m_result = false;
    hide();
}

void frmSure::reject()
{
    cmdCancel_Click();
}

frmSure &frmSureWindow()
{
    static QPointer<frmSure> window;
    if (!window)
        window = OwnedForRun(new frmSure);
    return *window;
}
