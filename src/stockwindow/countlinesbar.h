#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The stock window's counting controls beyond the grid: the location being counted
// (remembered by this workstation), scan counting, the count history and the handheld
// file import, and the current row's count lines.
class CountLinesBar : public QWidget
{
    Q_OBJECT
public:
    explicit CountLinesBar(QWidget *parent = nullptr);

    // The location as typed, made safe to store: trimmed, no control characters, at most the
    // table's length. Empty: the line of a clerk who types no location.
    QString location() const;
    bool scanCounting() const;
    // Reads and saves the location this workstation counts at.
    void restoreLocation();
    void saveLocation() const;
    // The current row's lines (empty: the row has none); off: count lines are not kept.
    void showLines(const QString &lines);
    void setLinesOff();

Q_SIGNALS:
    void locationChanged(const QString &location);
    // The buttons, and F9 anywhere in the window for the history.
    void historyRequested();
    void importRequested();
    void detailRequested();

private:
    QLineEdit *txtLocation = nullptr;
    QCheckBox *chkScanCount = nullptr;
    QPushButton *cmdCountHistory = nullptr;
    QPushButton *cmdImport = nullptr;
    QPushButton *cmdCountDetail = nullptr;
    QLabel *lblCountLines = nullptr;
};
