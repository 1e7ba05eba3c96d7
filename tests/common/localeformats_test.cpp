#include "common/localeformats.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// Short formats of each locale the program meets, for 8 December 2026, 22:54: no pattern
// letter may be printed as it is.
TEST(LocaleFormats, ShortDateAndTimeCarryNoStrayLetters)
{
    const QDateTime at(QDate(2026, 12, 8), QTime(22, 54));
    struct Case
    {
        const char *locale;
        const char *date;
        const char *time;
        const char *dateTime;
    };
    const Case cases[] = {
        {"C", "8 Dec 2026", "22:54:00", "8 Dec 2026 22:54:00"},
        {"zh_TW.UTF-8", "2026/12/8", "22:54", "2026/12/8 22:54"},
        {"en_US.UTF-8", "12/8/26", "10:54 PM", "12/8/26 10:54 PM"},
        {"de_DE.UTF-8", "08.12.26", "22:54", "08.12.26 22:54"},
    };
    for (const Case &c : cases) {
        const QLocale locale(QString::fromLatin1(c.locale));
        SCOPED_TRACE(c.locale);
        EXPECT_EQ(ShortDateText(at.date(), locale), QString::fromUtf8(c.date));
        EXPECT_EQ(ShortTimeText(at.time(), locale), QString::fromUtf8(c.time));
        EXPECT_EQ(ShortDateTimeText(at, locale), QString::fromUtf8(c.dateTime));
    }
}

TEST(LocaleFormats, PatternsKeepOnlyWhatTheFormatterKnows)
{
    const std::pair<const char *, const char *> cases[] = {
        {"Bh:mm", "h:mm"}, // day period of Chinese locales
        {"yyyy/M/d Bh:mm", "yyyy/M/d h:mm"},
        {"B h:mm", "h:mm"}, // with the blank that went with it
        {"h:mm B", "h:mm"},
        {"G y/MM/dd", "yyyy/MM/dd"}, // era; a lone year letter is the full year
        {"EEE d MMM", "d MMM"},      // weekday in CLDR letters
        {"h:mm AP", "h:mm AP"},      // am/pm stays
        {"ap h:mm", "ap h:mm"},
        {"HH'h'mm", "HH'h'mm"}, // quoted text stays
        {"d 'de' MMMM 'de' yyyy", "d 'de' MMMM 'de' yyyy"},
        {"HH:mm:ss.zzz t", "HH:mm:ss.zzz t"},
        {"yy.M.d", "yy.M.d"},
    };
    for (const auto &[pattern, expected] : cases)
        EXPECT_EQ(SupportedPattern(QString::fromLatin1(pattern)), QString::fromLatin1(expected))
            << pattern;
}

} // namespace
