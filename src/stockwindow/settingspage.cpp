#include "stockwindow/settingspage.h"

#include "printing/slipprinter.h"
#include "stockwindow/windowcontrols.h"

#include <QGridLayout>

using namespace WindowControls;

SettingsPage::SettingsPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("vsElastic1"));
    auto *grid = new QGridLayout(this);
    txtKXPrinter = textBox(QStringLiteral("txtKXPrinter"));
    QPushButton *list = button(QStringLiteral("cmdListPrinter(0)"), QStringLiteral("..."));
    grid->addWidget(label(QStringLiteral("Label11"), QStringLiteral("KX印表機名稱:")), 0, 0);
    grid->addWidget(txtKXPrinter, 0, 1);
    grid->addWidget(list, 0, 2);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(1, 1);
    connect(list, &QPushButton::clicked, this, [this] { cmdListPrinter_Click(0, txtKXPrinter); });
}

void SettingsPage::restore()
{
    txtKXPrinter->setText(SavedSlipPrinter());
}
