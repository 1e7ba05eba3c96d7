#pragma once

#include <QtGlobal>
#include <optional>

// Character codes in the suite's ANSI code page, Traditional Chinese (code page 950: Big5 with
// Microsoft's additions), as the suite's runtime gives them: an ASCII character's byte, a
// two-byte character's lead and trail bytes as one number (lead byte high). Only exact pairs
// count: a code that stands for one character which has that code, so that every code found
// here turns back into its character and every character into its code.
//
// Windows converts with the system's code page functions, other systems with Qt's ICU
// converter.
namespace AnsiCodePage {

// The code of a character (a Unicode code point); none when the code page lacks it.
std::optional<quint16> code(char32_t character);
// The character of a code; none when the code is no character of the code page.
std::optional<char32_t> character(quint16 code);

} // namespace AnsiCodePage
