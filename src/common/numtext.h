#pragma once

#include <QString>
#include <QVariant>

// Numbers as the program reads and writes them: one rule for the whole program.

// Numeric value of a text: the number it begins with (blanks skipped, optional sign,
// digits, decimal point, exponent); 0 when it begins with none or with a number out of
// range. Full-width digits, point and signs typed through a Chinese input method count
// as their ASCII forms.
double Val(const QString &text);
double Val(const QVariant &value);

// The whole-number part of Val(text), held inside the range of int (a text like "1e308"
// gives the largest int rather than an undefined conversion).
int ValInt(const QString &text);

// True when the whole text (surrounding blanks aside) is one finite number.
bool IsNumeric(const QString &text);

// Plain decimal text in the C locale: no grouping, no exponent, no trailing zeros,
// at most 15 significant digits (12.5, 0, -3, 0.5833).
QString NumText(double value);

// Rounding as the program's formulas write it, floor(v * scale + 0.5) / scale: halves go
// up (towards +infinity, so -2.5 gives -2). A value within binary noise of a half counts
// as the half (1.005 to two decimals gives 1.01).
double RoundHalfUp(double value, double scale);

// Rounding to two decimals with halves going to the even digit (banker's rounding), the
// halves taken as the decimal text shows them (2.675 gives 2.68, 0.125 gives 0.12).
double RoundHalfEven2(double value);

// Full-width ASCII forms (U+FF01..U+FF5E) and the ideographic space folded to ASCII.
QString FoldFullWidth(const QString &text);
