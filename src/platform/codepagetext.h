#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

// Whole texts in the suite's ANSI code page, Traditional Chinese (code page 950: Big5 with
// Microsoft's additions), as files made on the suite's Windows machines hold them.
namespace AnsiCodePage {

// The text of the bytes; none when some bytes are no character of the code page (a
// broken pair, a byte no character starts with), so that a file in another encoding is
// told rather than garbled.
std::optional<QString> decode(QByteArrayView bytes);

} // namespace AnsiCodePage
