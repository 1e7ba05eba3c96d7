#include "common/numtext.h"
#include "support/clibrarylocale.h"

#include <QLocale>
#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

TEST(Val, TheNumberTheTextBeginsWith)
{
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("12.5")), 12.5);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("  -3kg")), -3.0);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("25 包")), 25.0);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("1.5e1")), 15.0);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("2E-2x")), 0.02);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("1e")), 1.0); // an exponent needs digits
    EXPECT_DOUBLE_EQ(Val(QStringLiteral(".5")), 0.5);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("+7.")), 7.0);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("1,234")), 1.0); // no grouping
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("abc")), 0.0);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("")), 0.0);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("-")), 0.0);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("1e999")), 0.0); // out of range is no number
}

TEST(Val, FullWidthInputAndVariants)
{
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("１２．５")), 12.5);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("　－３")), -3.0); // ideographic space, full-width minus
    EXPECT_DOUBLE_EQ(Val(QVariant()), 0.0);
    EXPECT_DOUBLE_EQ(Val(QVariant(QMetaType(QMetaType::QString))), 0.0); // database NULL
    EXPECT_DOUBLE_EQ(Val(QVariant(2.25)), 2.25);
    EXPECT_DOUBLE_EQ(Val(QVariant(qlonglong(40))), 40.0);
    EXPECT_DOUBLE_EQ(Val(QVariant(QStringLiteral("7 pcs"))), 7.0);
}

TEST(Val, MachineLocaleChangesNothing)
{
    // The C library's locale (a decimal comma under de_DE) and Qt's default locale alike.
    const QLocale before;
    for (const char *name : {"C", "de_DE.UTF-8", "zh_TW.UTF-8"}) {
        const CLibraryLocale machine{QString::fromLatin1(name)};
        ASSERT_TRUE(machine.active()) << machine.failure().toStdString();
        if (QByteArray(name).startsWith("de_")) {
            ASSERT_EQ(machine.decimalPoint(), ","); // the locale really is in effect
        }
        QLocale::setDefault(QLocale(QLocale::German));
        EXPECT_DOUBLE_EQ(Val(QStringLiteral("1.5")), 1.5) << name;
        EXPECT_DOUBLE_EQ(Val(QStringLiteral("2,5")), 2.0) << name;
        EXPECT_DOUBLE_EQ(Val(QStringLiteral("2.5e400")), 0.0) << name;
        EXPECT_DOUBLE_EQ(Val(QStringLiteral("-2.5E+3x")), -2500.0) << name;
        EXPECT_DOUBLE_EQ(Val(QStringLiteral("１２．５")), 12.5) << name;
        EXPECT_DOUBLE_EQ(Val(QStringLiteral("0.5d2")), 50.0) << name;
        EXPECT_DOUBLE_EQ(Val(QStringLiteral("1e-400")), 0.0) << name;
        EXPECT_EQ(ValInt(QStringLiteral("2.5e400")), 0) << name;
        EXPECT_EQ(NumText(1.5), "1.5") << name;
        EXPECT_TRUE(IsNumeric(QStringLiteral("1.5"))) << name;
        EXPECT_TRUE(IsNumeric(QStringLiteral("1e-400"))) << name; // a tiny number is 0
        EXPECT_FALSE(IsNumeric(QStringLiteral("2.5e400"))) << name;
        EXPECT_FALSE(IsNumeric(QStringLiteral("0.000001e99999999999999999999"))) << name;
        EXPECT_FALSE(IsNumeric(QStringLiteral("2,5"))) << name;
        QLocale::setDefault(before);
    }
}

TEST(IsNumeric, WholeTextOneFiniteNumber)
{
    for (const char *yes : {"0", "-0", "12.5", " 12 ", "+5", "1.", ".5", "1e308", "1.5E-3", "１２"})
        EXPECT_TRUE(IsNumeric(QString::fromUtf8(yes))) << yes;
    for (const char *no : {"", " ", "abc", "NaN", "nan", "inf", "-inf", "Infinity", "1e999", "1e",
                           "12a", "1 2", "1,000", ".", "-", "0x10", "--1"})
        EXPECT_FALSE(IsNumeric(QString::fromUtf8(no))) << no;
}

TEST(NumText, PlainDecimalText)
{
    EXPECT_EQ(NumText(12.5), "12.5");
    EXPECT_EQ(NumText(0), "0");
    EXPECT_EQ(NumText(-3), "-3");
    EXPECT_EQ(NumText(-0.0), "0");
    EXPECT_EQ(NumText(0.1 + 0.2), "0.3");
    EXPECT_EQ(NumText(7.0 / 12.0), "0.583333333333333");
    EXPECT_EQ(NumText(1234567.0), "1234567");
    EXPECT_EQ(NumText(1e20), "100000000000000000000");
    EXPECT_EQ(NumText(-1.5e20), "-150000000000000000000");
    EXPECT_EQ(NumText(1.2345678901234567e20), "123456789012346000000"); // 15 digits, no noise
    EXPECT_EQ(NumText(1e-7), "0.0000001");
    EXPECT_EQ(NumText(-2.5e-9), "-0.0000000025");
    EXPECT_EQ(NumText(std::nan("")), "0");
    EXPECT_EQ(NumText(HUGE_VAL), "0");
    // What it writes reads back to the same value.
    for (double v : {12.5, 0.3, 1e-7, 1e20, 123.456})
        EXPECT_DOUBLE_EQ(Val(NumText(v)), v);
}

// Counts, amounts and prices take a quick path; whatever the value, the text must be the
// 15-significant-digit form wherever that form has no exponent.
TEST(NumText, QuickDecimalsAgreeWithTheFifteenDigitForm)
{
    QRandomGenerator rng(20261209);
    QList<double> values = {0.05,     -0.05,     1.005, 999999999999999, 1e15 - 0.5, 123456.789012,
                            0.000001, 0.0000015, 2.675, 1.1 * 3,         4.35 * 100, 0.1 * 3};
    for (int i = 0; i < 20000; ++i) {
        const double whole = double(rng.bounded(2000000)) - 1000000;
        const int places = rng.bounded(9);
        values << whole / std::pow(10.0, places)                           // a typed decimal
               << std::round(whole * 1.37) / 100 * (rng.bounded(50) + 0.5) // amount x price
               << (rng.generateDouble() - 0.5) * std::pow(10.0, rng.bounded(-8, 14));
    }
    for (double v : values) {
        const QString general = QString::number(v, 'g', 15);
        if (!general.contains(QLatin1Char('e')) && v != 0) {
            ASSERT_EQ(NumText(v), general) << general.toStdString();
        }
    }
}

TEST(Rounding, HalfUpAsTheFormulasWriteIt)
{
    EXPECT_DOUBLE_EQ(RoundHalfUp(2.5, 1), 3.0);
    EXPECT_DOUBLE_EQ(RoundHalfUp(-2.5, 1), -2.0); // floor(v + 0.5)
    EXPECT_DOUBLE_EQ(RoundHalfUp(0.125, 100), 0.13);
    EXPECT_DOUBLE_EQ(RoundHalfUp(0.124, 100), 0.12);
    EXPECT_DOUBLE_EQ(RoundHalfUp(1.005, 100), 1.01); // 100.49999999999999 is the half
    EXPECT_DOUBLE_EQ(RoundHalfUp(1.25, 10), 1.3);
    EXPECT_DOUBLE_EQ(RoundHalfUp(1.24999, 10), 1.2);
    EXPECT_DOUBLE_EQ(RoundHalfUp(0.0, 100), 0.0);
}

TEST(Rounding, HalfEvenToTwoDecimals)
{
    EXPECT_DOUBLE_EQ(RoundHalfEven2(2.675), 2.68);
    EXPECT_DOUBLE_EQ(RoundHalfEven2(0.125), 0.12);
    EXPECT_DOUBLE_EQ(RoundHalfEven2(0.135), 0.14);
    EXPECT_DOUBLE_EQ(RoundHalfEven2(-0.125), -0.12);
    EXPECT_DOUBLE_EQ(RoundHalfEven2(-0.135), -0.14);
    EXPECT_DOUBLE_EQ(RoundHalfEven2(0.126), 0.13);
    EXPECT_DOUBLE_EQ(RoundHalfEven2(0.1249), 0.12);
    EXPECT_DOUBLE_EQ(RoundHalfEven2(10.0 - 3.3 - 6.7), 0.0);
    EXPECT_EQ(NumText(RoundHalfEven2(5.0 - 2.0 - 0.3 - 0.1)), "2.6");
}

TEST(Numbers, WholeNumberPartStaysInsideInt)
{
    EXPECT_EQ(ValInt(QStringLiteral("12.9")), 12);
    EXPECT_EQ(ValInt(QStringLiteral("-3.5x")), -3);
    EXPECT_EQ(ValInt(QStringLiteral("1e308")), std::numeric_limits<int>::max());
    EXPECT_EQ(ValInt(QStringLiteral("-1e308")), std::numeric_limits<int>::min());
    EXPECT_EQ(ValInt(QStringLiteral("abc")), 0);
    EXPECT_EQ(ValInt(QStringLiteral("２５")), 25);
}
