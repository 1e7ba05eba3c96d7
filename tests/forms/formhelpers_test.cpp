#include "forms/formhelpers.h"
#include "platform/widgets/elasticpanel.h"
#include "platform/widgets/screenunits.h"
#include "platform/widgets/sound.h"
#include "support/modal.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

QColor baseColor(const QWidget *w)
{
    return w->palette().color(QPalette::Base);
}

// A window with three input boxes, shown and active, the first one focused.
struct ThreeBoxes
{
    QWidget window;
    QLineEdit *a, *b, *c;
    ThreeBoxes()
    {
        auto *layout = new QVBoxLayout(&window);
        for (QLineEdit **box : {&a, &b, &c}) {
            *box = new QLineEdit(&window);
            layout->addWidget(*box);
        }
        a->setObjectName(QStringLiteral("txtA"));
        b->setObjectName(QStringLiteral("txtB"));
        c->setObjectName(QStringLiteral("txtC"));
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        a->setFocus();
        EXPECT_TRUE(TestModal::waitFor([&] { return QApplication::focusWidget() == a; }));
    }
    bool focusMovesTo(QWidget *w)
    {
        return TestModal::waitFor([w] { return QApplication::focusWidget() == w; }, 2000);
    }
};

// Windows hand their KeyDown events to KeyToTab; so does this filter.
class KeyToTabFilter : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress)
            return KeyToTab(qobject_cast<QWidget *>(watched),
                            static_cast<QKeyEvent *>(event)->key());
        return false;
    }
};

} // namespace

TEST(KeyToTab, EnterAndDownGoForwardUpGoesBack)
{
    ThreeBoxes w;
    EXPECT_TRUE(KeyToTab(w.a, Qt::Key_Return));
    EXPECT_TRUE(w.focusMovesTo(w.b));
    EXPECT_TRUE(KeyToTab(w.b, Qt::Key_Down));
    EXPECT_TRUE(w.focusMovesTo(w.c));
    EXPECT_TRUE(KeyToTab(w.c, Qt::Key_Down)); // the last wraps to the first, as Tab does
    EXPECT_TRUE(w.focusMovesTo(w.a));
    EXPECT_TRUE(KeyToTab(w.a, Qt::Key_Up));
    EXPECT_TRUE(w.focusMovesTo(w.c));
    EXPECT_TRUE(KeyToTab(w.c, Qt::Key_Up));
    EXPECT_TRUE(w.focusMovesTo(w.b));
    EXPECT_TRUE(KeyToTab(w.b, Qt::Key_Enter)); // the keypad's Enter
    EXPECT_TRUE(w.focusMovesTo(w.c));

    EXPECT_FALSE(KeyToTab(w.c, Qt::Key_A));
    EXPECT_FALSE(KeyToTab(w.c, Qt::Key_Left));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), w.c);
}

TEST(KeyToTab, RealKeystrokesThroughAWindowsHandler)
{
    ThreeBoxes w;
    KeyToTabFilter filter;
    for (QLineEdit *box : {w.a, w.b, w.c})
        box->installEventFilter(&filter);
    QTest::keyClick(w.a, Qt::Key_Return);
    EXPECT_TRUE(w.focusMovesTo(w.b));
    QTest::keyClick(w.b, Qt::Key_Down);
    EXPECT_TRUE(w.focusMovesTo(w.c));
    QTest::keyClick(w.c, Qt::Key_Up);
    EXPECT_TRUE(w.focusMovesTo(w.b));
    QTest::keyClicks(w.b, QStringLiteral("12"));
    EXPECT_EQ(w.b->text(), QStringLiteral("12")); // other keys still type
}

TEST(SelText, SelectsTheWholeText)
{
    QLineEdit box;
    box.setText(QStringLiteral("麵粉 25kg"));
    box.setCursorPosition(2);
    SelText(&box);
    EXPECT_EQ(box.selectedText(), QStringLiteral("麵粉 25kg"));
    EXPECT_EQ(box.selectionStart(), 0);
    SelText(nullptr); // nothing to select, nothing happens
}

TEST(LockCtl, DisplayBoxesGreyAndLockedInputBoxesYellow)
{
    QWidget form;
    auto *display = new QLineEdit(&form);
    auto *input = new QLineEdit(&form);
    auto *group = new QGroupBox(&form);
    auto *nested = new QLineEdit(group);
    auto *combo = new QComboBox(&form);
    auto *option = new QRadioButton(&form);
    auto *spin = new QSpinBox(&form);
    SetTabStop(display, false);
    SetTabStop(nested, false);
    input->setReadOnly(true); // a tab stop decides, not the earlier state
    combo->setEnabled(false);
    option->setEnabled(false);

    LockCtl(&form);

    const QColor grey(224, 224, 224), yellow(255, 255, 192);
    EXPECT_EQ(FromWinColor(LockedBackColor), grey);
    EXPECT_EQ(FromWinColor(InputBackColor), yellow);
    EXPECT_TRUE(display->isReadOnly());
    EXPECT_EQ(baseColor(display), grey);
    EXPECT_TRUE(nested->isReadOnly());
    EXPECT_EQ(baseColor(nested), grey);
    EXPECT_FALSE(input->isReadOnly());
    EXPECT_EQ(baseColor(input), yellow);
    EXPECT_TRUE(combo->isEnabled());
    EXPECT_EQ(baseColor(combo), yellow);
    EXPECT_TRUE(option->isEnabled());
    // The editor inside the spin box belongs to the spin box.
    const auto *spinEditor = spin->findChild<QLineEdit *>();
    ASSERT_NE(spinEditor, nullptr);
    EXPECT_FALSE(spinEditor->isReadOnly());
    EXPECT_NE(baseColor(spinEditor), grey);
    EXPECT_NE(baseColor(spinEditor), yellow);

    // Typing reaches the input box only.
    form.show();
    QTest::keyClicks(display, QStringLiteral("x"));
    QTest::keyClicks(input, QStringLiteral("y"));
    EXPECT_EQ(display->text(), QString());
    EXPECT_EQ(input->text(), QStringLiteral("y"));
}

TEST(ClearCtl, EmptiesTxtAndCboControlsByName)
{
    QWidget form;
    auto make = [&form](QWidget *parent, const char *name) {
        auto *box = new QLineEdit(parent ? parent : &form);
        box->setObjectName(QString::fromLatin1(name));
        box->setText(QStringLiteral("value"));
        return box;
    };
    auto *group = new QGroupBox(&form);
    QLineEdit *txtYear = make(nullptr, "txtYear");
    QLineEdit *nested = make(group, "txtDept");
    QLineEdit *capital = make(nullptr, "Txt1");
    QLineEdit *other = make(nullptr, "lblInfo");
    QLineEdit *shortName = make(nullptr, "tx");
    auto *cbo = new QComboBox(&form);
    cbo->setObjectName(QStringLiteral("cboUnit"));
    cbo->setEditable(true);
    cbo->setEditText(QStringLiteral("包"));
    auto *label = new QLabel(QStringLiteral("月份"), &form);
    label->setObjectName(QStringLiteral("txtLabel")); // no text box: skipped

    ClearCtl(&form);

    EXPECT_EQ(txtYear->text(), QString());
    EXPECT_EQ(nested->text(), QString());
    EXPECT_EQ(cbo->currentText(), QString());
    EXPECT_EQ(capital->text(), QStringLiteral("value"));
    EXPECT_EQ(other->text(), QStringLiteral("value"));
    EXPECT_EQ(shortName->text(), QStringLiteral("value"));
    EXPECT_EQ(label->text(), QStringLiteral("月份"));
    ClearCtl(nullptr);
}

TEST(Placement, CentreAndRightBottomKeepTheTaskbarFree)
{
    QWidget form;
    form.resize(400, 300);
    const QRect screen = form.screen()->geometry();
    const int taskbar = ScreenTwipsToPixels(375);
    EXPECT_EQ(taskbar, TwipsToPixels(375, form.screen()->logicalDotsPerInch()));

    FormCenter(&form);
    EXPECT_EQ(form.frameGeometry().topLeft(),
              QPoint(screen.left() + (screen.width() - 400) / 2,
                     screen.top() + (screen.height() - 300 - taskbar) / 2));
    FormRightBottom(&form);
    EXPECT_EQ(form.frameGeometry().topLeft(),
              QPoint(screen.left() + screen.width() - 400,
                     screen.top() + screen.height() - 300 - taskbar));
    EXPECT_EQ(form.frameGeometry().bottom() + 1 + taskbar, screen.bottom() + 1);
}

TEST(Units, TwipsAndWindowsColours)
{
    EXPECT_EQ(TwipsToPixels(1440, 96), 96);
    EXPECT_EQ(TwipsToPixels(375, 96), 25);
    EXPECT_EQ(TwipsToPixels(-1440, 120), -120);
    EXPECT_DOUBLE_EQ(PixelsToTwips(96, 96), 1440.0);
    EXPECT_EQ(FromWinColor(65535), QColor(255, 255, 0));     // yellow
    EXPECT_EQ(FromWinColor(8425215), QColor(255, 142, 128)); // light red 0x808EFF
    EXPECT_EQ(FromWinColor(0xFF0000), QColor(0, 0, 255));
}

TEST(FileSystem, FilesFoldersAndSeparators)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.txt"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(FileExist(file));
    EXPECT_FALSE(FileExist(dir.path()));
    EXPECT_FALSE(FileExist(dir.filePath(QStringLiteral("missing"))));
    EXPECT_FALSE(FileExist(QString()));
    EXPECT_FALSE(FileExist(QStringLiteral("Q:\\NOWHERE\\x")));
    EXPECT_TRUE(DirExist(dir.path()));
    EXPECT_FALSE(DirExist(file));
    EXPECT_FALSE(DirExist(dir.filePath(QStringLiteral("missing"))));
    EXPECT_FALSE(DirExist(QString()));

    EXPECT_EQ(AddSep(QStringLiteral("C:\\TEMP"), QStringLiteral("\\")),
              QStringLiteral("C:\\TEMP\\"));
    EXPECT_EQ(AddSep(QStringLiteral("C:\\TEMP\\"), QStringLiteral("\\")),
              QStringLiteral("C:\\TEMP\\"));
    EXPECT_EQ(AddSep(QString(), QStringLiteral("\\")), QString());
    EXPECT_EQ(AddSep(QStringLiteral("/tmp"), QStringLiteral("/")), QStringLiteral("/tmp/"));
}

TEST(DispElaMsg, FloodsShowsAndClearsTheFlood)
{
    ElasticPanel panel;
    panel.show();
    // Pending events run while the flood is full: look at the panel then.
    int floodSeen = -1;
    QString captionSeen;
    QTimer::singleShot(0, &panel, [&] {
        floodSeen = panel.floodPercent();
        captionSeen = panel.caption();
    });
    const int beeps = BeepsSounded();
    QElapsedTimer clock;
    clock.start();
    DispElaMsg(&panel, QStringLiteral("查詢完成, 共 12 筆"), 0);
    EXPECT_GE(clock.elapsed(), 190); // the flash lasts 0.2 s
    EXPECT_EQ(floodSeen, 100);
    EXPECT_EQ(captionSeen, QStringLiteral("查詢完成, 共 12 筆"));
    EXPECT_EQ(panel.floodPercent(), 0);
    EXPECT_EQ(panel.caption(), QStringLiteral("查詢完成, 共 12 筆")); // the text stays
    EXPECT_EQ(BeepsSounded(), beeps);                                 // beeps 0: silent

    DispElaMsg(&panel, QStringLiteral("x"));
    EXPECT_EQ(BeepsSounded(), beeps + 2);
    DispElaMsg(&panel, QStringLiteral("y"), 3);
    EXPECT_EQ(BeepsSounded(), beeps + 5);
    DispElaMsg(nullptr, QStringLiteral("z"));
}

TEST(ElasticPanel, CaptionFloodAndClicks)
{
    ElasticPanel panel;
    panel.resize(200, 24);
    panel.show();
    panel.setFloodPercent(150);
    EXPECT_EQ(panel.floodPercent(), 100);
    panel.setFloodPercent(-5);
    EXPECT_EQ(panel.floodPercent(), 0);
    panel.setCaption(QStringLiteral("月份"));
    EXPECT_EQ(panel.caption(), QStringLiteral("月份"));
    int clicks = 0;
    QObject::connect(&panel, &ElasticPanel::clicked, [&] { ++clicks; });
    QTest::mouseClick(&panel, Qt::LeftButton);
    QTest::mouseClick(&panel, Qt::RightButton);
    EXPECT_EQ(clicks, 1);
    panel.setFloodPercent(50);
    const QImage image = panel.grab().toImage();
    // The left half carries the flood colour, the right half does not.
    EXPECT_EQ(image.pixelColor(image.width() / 4, image.height() / 2), panel.floodColor());
    EXPECT_NE(image.pixelColor(image.width() * 3 / 4, image.height() / 2), panel.floodColor());

    // Progress: a value of a maximum, clamped; the percentage follows it.
    panel.setFlood(750, 1000);
    EXPECT_EQ(panel.floodValue(), 750);
    EXPECT_EQ(panel.floodMaximum(), 1000);
    EXPECT_EQ(panel.floodPercent(), 75);
    const QImage progress = panel.grab().toImage();
    EXPECT_EQ(progress.pixelColor(progress.width() * 7 / 10, progress.height() / 2),
              panel.floodColor());
    EXPECT_NE(progress.pixelColor(progress.width() * 8 / 10, progress.height() / 2),
              panel.floodColor());
    panel.setFlood(1200, 1000);
    EXPECT_EQ(panel.floodValue(), 1000);
    panel.setFlood(5, 0);
    EXPECT_EQ(panel.floodMaximum(), 1);
    EXPECT_EQ(panel.floodValue(), 1);
    panel.setFloodPercent(0);

    // The note is drawn at the right end and goes with the next caption.
    panel.setNote(QStringLiteral("共 12 筆"));
    EXPECT_EQ(panel.note(), QStringLiteral("共 12 筆"));
    const QImage noted = panel.grab().toImage();
    int inkRight = 0;
    for (int x = noted.width() * 3 / 4; x < noted.width() - 4; ++x)
        for (int y = 4; y < noted.height() - 4; ++y)
            inkRight += noted.pixelColor(x, y) != noted.pixelColor(noted.width() - 5, 4);
    EXPECT_GT(inkRight, 10);
    panel.setCaption(QStringLiteral("月份"));
    EXPECT_EQ(panel.note(), QStringLiteral("共 12 筆")); // the same caption keeps it
    panel.setCaption(QStringLiteral("年度"));
    EXPECT_EQ(panel.note(), QString());
}

TEST(WaitSec, SleepsTheWholeMilliseconds)
{
    QElapsedTimer clock;
    clock.start();
    WaitSec(0.0509);
    EXPECT_GE(clock.elapsed(), 50);
    clock.restart();
    WaitSec(-1);
    WaitSec(0);
    EXPECT_LT(clock.elapsed(), 1000); // nothing to wait for
}
