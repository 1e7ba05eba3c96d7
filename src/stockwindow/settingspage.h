#pragma once

#include <QWidget>

class QLineEdit;

// The stock window's settings page: the slip printer of this workstation, picked from the
// printers there are.
class SettingsPage : public QWidget
{
    Q_OBJECT
public:
    explicit SettingsPage(QWidget *parent = nullptr);

    // The stored slip printer shown.
    void restore();

private:
    QLineEdit *txtKXPrinter = nullptr;
};
