#include "common/presenter.h"

namespace {
Presenter *g_presenter = nullptr;
} // namespace

void InstallPresenter(Presenter *presenter)
{
    g_presenter = presenter;
}

Presenter *InstalledPresenter()
{
    return g_presenter;
}

void ShowMessage(const QString &text, MessageIcon icon)
{
    if (g_presenter)
        g_presenter->showMessage(text, icon);
}
