#include "dialogs/frmnumkey.h"

#include "common/errorreport.h"
#include "common/numtext.h"
#include "forms/formhelpers.h"
#include "forms/runwindows.h"
#include "platform/widgets/elasticpanel.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString NumberCaption = QStringLiteral("數字輸入視窗");

// Keys big enough for a fingertip.
constexpr int KeyWidth = 84;
constexpr int KeyHeight = 64;
constexpr int KeyPointSize = 20;

} // namespace

frmNumKey::frmNumKey(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmNumKey"));
    setModal(true);
    setWindowTitle(NumberCaption);

    elaMsg = new ElasticPanel(this);
    elaMsg->setObjectName(QStringLiteral("elaMsg"));
    elaMsg->setCaption(NumberCaption);
    elaMsg->setMinimumHeight(32);
    QFont promptFont = elaMsg->font();
    promptFont.setPointSize(12);
    elaMsg->setFont(promptFont);

    txtDisp = new QLineEdit(this);
    txtDisp->setObjectName(QStringLiteral("txtDisp"));
    // The window handles every typed key itself; the box only shows the entry.
    txtDisp->setReadOnly(true);
    txtDisp->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont dispFont = txtDisp->font();
    dispFont.setPointSize(KeyPointSize);
    txtDisp->setFont(dispFont);
    txtDisp->setMinimumHeight(KeyHeight - 8);

    for (int i = 0; i < 10; ++i)
        cmdNum[i] = makeKey(QStringLiteral("cmdNum(%1)").arg(i), QString::number(i));
    cmdNum[10] = makeKey(QStringLiteral("cmdNum(10)"), QStringLiteral("00"));
    cmdDot = makeKey(QStringLiteral("cmdDot"), QStringLiteral("."));
    cmdBack = makeKey(QStringLiteral("cmdBack"), QStringLiteral("←"));
    cmdDel = makeKey(QStringLiteral("cmdDel"), QStringLiteral("清除"));
    cmdEnter = makeKey(QStringLiteral("cmdEnter"), QStringLiteral("確定"));
    cmdExit = makeKey(QStringLiteral("cmdExit"), QStringLiteral("離開"));

    for (int i = 0; i <= 10; ++i)
        connect(cmdNum[i], &QPushButton::clicked, this, [this, i] { cmdNum_Click(i); });
    connect(cmdDot, &QPushButton::clicked, this, &frmNumKey::cmdDot_Click);
    connect(cmdBack, &QPushButton::clicked, this, &frmNumKey::cmdBack_Click);
    connect(cmdDel, &QPushButton::clicked, this, &frmNumKey::cmdDel_Click);
    connect(cmdEnter, &QPushButton::clicked, this, &frmNumKey::cmdEnter_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmNumKey::cmdExit_Click);

    // 7 8 9 ← / 4 5 6 清除 / 1 2 3 離開 / 0 00 . 確定
    auto *keys = new QGridLayout;
    keys->setSpacing(6);
    const int digitRows[3][3] = {{7, 8, 9}, {4, 5, 6}, {1, 2, 3}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            keys->addWidget(cmdNum[digitRows[r][c]], r, c);
    keys->addWidget(cmdBack, 0, 3);
    keys->addWidget(cmdDel, 1, 3);
    keys->addWidget(cmdExit, 2, 3);
    keys->addWidget(cmdNum[0], 3, 0);
    keys->addWidget(cmdNum[10], 3, 1);
    keys->addWidget(cmdDot, 3, 2);
    keys->addWidget(cmdEnter, 3, 3);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(elaMsg);
    layout->addWidget(txtDisp);
    layout->addLayout(keys);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Key preview: every key pressed anywhere in the window comes here first.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

QPushButton *frmNumKey::makeKey(const QString &name, const QString &caption)
{
    auto *key = new QPushButton(caption, this);
    key->setObjectName(name);
    key->setAutoDefault(false);
    key->setMinimumSize(KeyWidth, KeyHeight);
    QFont f = key->font();
    f.setPointSize(KeyPointSize);
    key->setFont(f);
    return key;
}

bool frmNumKey::ShowInput(QString &text, const QString &defaultText)
{
    return ReportErrors(QStringLiteral("frmNumKey_ShowInput"), [&] {
        return showEntry(NumberCaption, QStringLiteral("請輸入數字.."), false, text, defaultText);
    });
}

bool frmNumKey::ShowInput2(QString &text, const QString &title, const QString &defaultText)
{
    return ReportErrors(QStringLiteral("frmNumKey_ShowInput2"), [&] {
        const QString caption = title.isEmpty() ? NumberCaption : title;
        return showEntry(caption, caption, false, text, defaultText);
    });
}

bool frmNumKey::EnterPWD(QString &text, const QString &defaultText)
{
    return ReportErrors(QStringLiteral("frmNumKey_EnterPWD"), [&] {
        return showEntry(QStringLiteral("密碼輸入視窗"), QStringLiteral("請輸入密碼"), true, text,
                         defaultText);
    });
}

bool frmNumKey::showEntry(const QString &caption, const QString &prompt, bool masked, QString &text,
                          const QString &defaultText)
{
    setWindowTitle(caption);
    elaMsg->setCaption(prompt);
    m_masked = masked;
    setEntry(defaultText);
    m_accepted = false;
    adjustSize();
    FormRightBottom(this);
    if (masked)
        txtDisp->setFocus();
    else
        cmdEnter->setFocus();
    exec();
    if (!m_accepted)
        return false;
    text = m_entry;
    return true;
}

void frmNumKey::setEntry(const QString &entry)
{
    m_entry = entry;
    txtDisp->setText(m_masked ? QString(entry.size(), QLatin1Char('*')) : entry);
}

void frmNumKey::cmdNum_Click(int index)
{
    if (index >= 0 && index <= 9)
        setEntry(m_entry + QString::number(index));
    else if (index == 10)
        setEntry(m_entry + QStringLiteral("00"));
    else if (index == 11)
        setEntry(QString());
    cmdEnter->setFocus();
}

void frmNumKey::cmdDot_Click()
{
    setEntry(m_entry + QLatin1Char('.'));
}

void frmNumKey::cmdBack_Click()
{
    if (!m_entry.isEmpty())
        setEntry(m_entry.left(m_entry.size() - 1));
}

void frmNumKey::cmdDel_Click()
{
    setEntry(QString());
}

void frmNumKey::cmdEnter_Click()
{
    m_accepted = true;
    hide();
}

void frmNumKey::cmdExit_Click()
{
    hide();
}

bool frmNumKey::handleKey(int key, const QString &typed)
{
    switch (key) {
    case Qt::Key_Escape:
        cmdExit_Click();
        return true;
    case Qt::Key_Delete:
        cmdDel_Click();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        cmdEnter_Click();
        return true;
    case Qt::Key_Backspace:
        cmdBack_Click();
        return true;
    default:
        break;
    }
    // Digits and the point typed through a Chinese input method arrive full-width.
    const QString ch = FoldFullWidth(typed);
    if (ch.size() == 1 && ch.at(0).isDigit() && ch.at(0).unicode() < 128) {
        setEntry(m_entry + ch);
        return true;
    }
    if (ch == QLatin1String(".")) {
        cmdDot_Click();
        return true;
    }
    return false;
}

bool frmNumKey::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *keyEvent = static_cast<QKeyEvent *>(event);
        if (ReportErrors(QStringLiteral("frmNumKey_Form_KeyDown"),
                         [&] { return handleKey(keyEvent->key(), keyEvent->text()); }))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

frmNumKey &frmNumKeyWindow()
{
    static QPointer<frmNumKey> window;
    if (!window)
        window = OwnedForRun(new frmNumKey);
    return *window;
}
