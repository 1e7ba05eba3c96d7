#pragma once

// Making the stock window's controls: each named as the suite's forms name it.

#include "forms/formhelpers.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace WindowControls {

template <typename T> T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

inline QLabel *label(const QString &name, const QString &caption)
{
    return named(new QLabel(caption), name);
}

// Input boxes are tab stops; display boxes are not (they are locked by LockCtl).
inline QLineEdit *textBox(const QString &name, bool display = false)
{
    auto *box = named(new QLineEdit, name);
    SetTabStop(box, !display);
    return box;
}

inline QCheckBox *checkBox(const QString &name, const QString &caption, bool checked = false)
{
    auto *box = named(new QCheckBox(caption), name);
    box->setChecked(checked);
    return box;
}

inline QPushButton *button(const QString &name, const QString &caption)
{
    return named(new QPushButton(caption), name);
}

} // namespace WindowControls
