#include "printing/slipprinter.h"

#include "common/errorreport.h"
#include "dialogs/frmpickf2.h"
#include "platform/grid/flexgrid.h"
#include "platform/print/printdocument.h"
#include "platform/settingsstore.h"
#include "printing/previewwindow.h"

#include <QLineEdit>

namespace {
const QString SettingApp = QStringLiteral("GL");
const QString SettingSection = QStringLiteral("TOVSEL");
const QString SettingKey = QStringLiteral("KXPrinter");
} // namespace

void cmdListPrinter_Click(int index, QLineEdit *txtKXPrinter)
{
    ReportErrors(QStringLiteral("fmTOVRAN_cmdListPrinter_Click"), [&] {
        frmPickF2 &picker = frmPickF2Window();
        FlexGrid *list = picker.fgCode;
        list->setRows(1);
        // The printers as the framed preview window's print component reports them.
        const QStringList printers = frmPrint().vsp().devices();
        for (int i = 0; i < printers.size(); ++i)
            list->addRow({QString::number(i), printers.at(i)});
        const bool picked = picker.PickList(QString(), QStringLiteral("印表機名稱"));
        const QString name = picked ? picker.PickName : QString();
        if (index == 0) {
            txtKXPrinter->setText(name);
            SaveSetting(SettingApp, SettingSection, SettingKey, txtKXPrinter->text());
        }
    });
}

QString SavedSlipPrinter()
{
    return GetSetting(SettingApp, SettingSection, SettingKey, QString());
}
