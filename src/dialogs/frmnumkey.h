#pragma once

#include <QDialog>
#include <QString>

class ElasticPanel;
class QLineEdit;
class QPushButton;

// On-screen keypad for a number or a password on a touch screen. It only collects the
// text: checking the value or comparing a password is the caller's business.
class frmNumKey : public QDialog
{
    Q_OBJECT
public:
    explicit frmNumKey(QWidget *parent = nullptr);

    // Each method shows the window modally in the screen's bottom-right corner with the
    // default (or nothing) in the display. True when the entry was accepted; the text
    // then holds the entry, otherwise it is left alone.
    bool ShowInput(QString &text, const QString &defaultText = QString());
    bool ShowInput2(QString &text, const QString &title, const QString &defaultText = QString());
    bool EnterPWD(QString &text, const QString &defaultText = QString());

    // The keys, as the buttons and the keyboard reach them. Index 0-9 appends the digit,
    // 10 appends "00", 11 clears the display.
    void cmdNum_Click(int index);
    void cmdDot_Click();
    void cmdBack_Click();
    void cmdDel_Click();
    void cmdEnter_Click();
    void cmdExit_Click();

    QString entry() const { return m_entry; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool showEntry(const QString &caption, const QString &prompt, bool masked, QString &text,
                   const QString &defaultText);
    bool handleKey(int key, const QString &typed);
    void setEntry(const QString &entry);
    QPushButton *makeKey(const QString &name, const QString &caption);

    QLineEdit *txtDisp = nullptr;
    ElasticPanel *elaMsg = nullptr;
    QPushButton *cmdNum[11] = {};
    QPushButton *cmdDot = nullptr;
    QPushButton *cmdBack = nullptr;
    QPushButton *cmdDel = nullptr;
    QPushButton *cmdEnter = nullptr;
    QPushButton *cmdExit = nullptr;

    QString m_entry; // what has been keyed; the display shows it or its mask
    bool m_masked = false;
    bool m_accepted = false;
};

// The keypad window, created on first use and only hidden after each entry.
frmNumKey &frmNumKeyWindow();
