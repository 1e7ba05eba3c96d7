// The stock window as the screen shows it: run once on a 1366x768 screen and once on a
// 1920x1080 screen at scale 1.5 (the screen comes from the test's environment). Each page
// is saved as a picture under the build's artifacts.
#include "stockwindow/windowfixture.h"
#include "support/controls.h"

#include "startup/programsetup.h"

#include <QAbstractButton>
#include <QDir>
#include <QFontInfo>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTabWidget>

using namespace WindowTest;

namespace {

class Screen : public WindowFixture
{
protected:
    // Where a caption does not fit its widget, as "name: needs WxH, has WxH".
    static QStringList clipped(const QWidget *page)
    {
        QStringList found;
        auto check = [&found](const QWidget *w, const QString &text) {
            if (!w->isVisible() || text.isEmpty())
                return;
            const QSize need = w->sizeHint();
            if (need.width() > w->width() || need.height() > w->height())
                found << QStringLiteral("%1 \"%2\": needs %3x%4, has %5x%6")
                             .arg(w->objectName(), text)
                             .arg(need.width())
                             .arg(need.height())
                             .arg(w->width())
                             .arg(w->height());
        };
        for (const QLabel *l : page->findChildren<QLabel *>())
            check(l, l->text());
        for (const QAbstractButton *b : page->findChildren<QAbstractButton *>())
            check(b, b->text());
        return found;
    }

    // The face the widgets' captions are drawn in, where it is not the screen face.
    static QStringList otherFaces(const QWidget *page)
    {
        QStringList found;
        const QString face = ScreenFaces().constFirst();
        auto check = [&](const QWidget *w) {
            const QString family = QFontInfo(w->font()).family();
            if (w->isVisible() && family != face)
                found << w->objectName() + QStringLiteral(": ") + family;
        };
        for (const QLabel *l : page->findChildren<QLabel *>())
            check(l);
        for (const QAbstractButton *b : page->findChildren<QAbstractButton *>())
            check(b);
        return found;
    }
};

} // namespace

TEST_P(Screen, EveryPageFitsTheScreenInTheScreenFaceWithNothingClipped)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal scale = screen->devicePixelRatio();
    const QSize pixels = screen->geometry().size() * scale;
    const QString shotName =
        QStringLiteral("stockwindow-%1x%2%3")
            .arg(pixels.width())
            .arg(pixels.height())
            .arg(scale == 1 ? QString() : QStringLiteral("@") + QString::number(scale));
    SCOPED_TRACE(shotName.toStdString());
    // The screens this test is run on (a default screen would test nothing).
    ASSERT_TRUE((pixels == QSize(1366, 768) && scale == 1) ||
                (pixels == QSize(1920, 1080) && scale == 1.5) ||
                (pixels == QSize(2732, 1536) && scale == 2));

    for (int i = 1; i <= 30; ++i) {
        const QString no = QStringLiteral("A%1").arg(i, 2, 10, QLatin1Char('0'));
        item(no, i % 2 ? QStringLiteral("高筋麵粉") : QStringLiteral("特級砂糖"));
        stock(QStringLiteral("2003/01/31"), no, i, 2 * i, 3 * i, 12.5);
    }
    start();
    query(QStringLiteral("2003"), QStringLiteral("1"));
    ASSERT_EQ(grid()->rows(), 31);
    QApplication::processEvents();

    // The maximised window lies on the screen, and its layout did not have to be squeezed.
    const QRect available = screen->availableGeometry();
    EXPECT_TRUE(available.contains(window->frameGeometry()))
        << "frame " << window->frameGeometry().width() << "x" << window->frameGeometry().height();
    EXPECT_LE(window->minimumSizeHint().width(), window->width());
    EXPECT_LE(window->minimumSizeHint().height(), window->height());

    // Chinese is drawn as glyphs, not as one empty box for every character.
    auto draw = [this](const QString &text) {
        QImage image(64, 64, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QFont font = window->font();
        font.setPixelSize(40);
        painter.setFont(font);
        painter.drawText(image.rect(), Qt::AlignCenter, text);
        return image;
    };
    EXPECT_NE(draw(QStringLiteral("庫")), draw(QStringLiteral("盤")));
    EXPECT_NE(draw(QStringLiteral("庫")), draw(QString()));

    const QString dir = QStringLiteral(TOVRAN_ARTIFACT_DIR);
    QDir().mkpath(dir);
    const QStringList pages = {QStringLiteral("criteria"), QStringLiteral("data"),
                               QStringLiteral("settings")};
    for (int page = 0; page < pages.size(); ++page) {
        SCOPED_TRACE(pages[page].toStdString());
        Control<QTabWidget>(*window, "tabPage")->setCurrentIndex(page);
        QApplication::processEvents();
        EXPECT_EQ(clipped(window.get()), QStringList());
        EXPECT_EQ(otherFaces(window.get()), QStringList());
        const QImage shot = window->grab().toImage();
        EXPECT_EQ(shot.size(), window->size() * scale);
        ASSERT_TRUE(shot.save(dir + QLatin1Char('/') + shotName + QLatin1Char('-') + pages[page] +
                              QStringLiteral(".png")));
    }

    // The grid's rows are tall enough for its face, and its headings for theirs.
    const QFontMetrics cells(grid()->view()->font());
    EXPECT_EQ(QFontInfo(grid()->view()->font()).family(), ScreenFaces().constFirst());
    EXPECT_GE(grid()->view()->rowHeight(0), cells.height());
    QHeaderView *header = grid()->view()->horizontalHeader();
    EXPECT_GE(header->height(), QFontMetrics(header->font()).height());
}

INSTANTIATE_TEST_SUITE_P(Databases, Screen, ::testing::Values(Backend::SQLite), kindName);
