#include "forms/errorboxes.h"

#include "common/presenter.h"
#include "platform/widgets/messagebox.h"
#include "platform/widgets/sound.h"

#include <QApplication>

namespace {

MsgBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None:
        return MsgBox::Icon::None;
    case MessageIcon::Critical:
        return MsgBox::Icon::Critical;
    case MessageIcon::Warning:
        return MsgBox::Icon::Warning;
    case MessageIcon::Information:
        return MsgBox::Icon::Information;
    }
    return MsgBox::Icon::None;
}

class BoxPresenter final : public Presenter
{
public:
    void beep() override { Beep(); }
    void showMessage(const QString &text, MessageIcon icon) override
    {
        MsgBox::show(text, boxIcon(icon));
    }
    bool askYesNo(const QString &text, MessageIcon icon) override
    {
        return MsgBox::askYesNo(text, boxIcon(icon));
    }
    void endBusy() override
    {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
};

} // namespace

void InstallBoxPresenter()
{
    static BoxPresenter presenter;
    InstallPresenter(&presenter);
}
