#include "platform/widgets/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace MsgBox {

namespace {

QMessageBox::Icon toQt(Icon icon)
{
    switch (icon) {
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

int run(const QString &text, Icon icon, const QString &title, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(toQt(icon), title.isEmpty() ? applicationTitle() : title, text, buttons,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("msgBox"));
    box.setDefaultButton(defaultButton);
    // The captions do not depend on which translations the machine has installed.
    if (QAbstractButton *b = box.button(QMessageBox::Ok))
        b->setText(QStringLiteral("確定"));
    if (QAbstractButton *b = box.button(QMessageBox::Yes))
        b->setText(QStringLiteral("是(&Y)"));
    if (QAbstractButton *b = box.button(QMessageBox::No))
        b->setText(QStringLiteral("否(&N)"));
    return box.exec();
}

} // namespace

QString applicationTitle()
{
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("TOVRAN") : name;
}

void show(const QString &text, Icon icon, const QString &title)
{
    run(text, icon, title, QMessageBox::Ok, QMessageBox::Ok);
}

bool askYesNo(const QString &text, Icon icon, const QString &title)
{
    return run(text, icon, title, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

} // namespace MsgBox
