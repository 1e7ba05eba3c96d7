#pragma once

#include <QString>

// The text with every unpaired UTF-16 surrogate (U+D800..U+DFFF without its partner) and
// the non-characters U+FFFE and U+FFFF replaced by U+FFFD, and every NUL dropped: what
// every database the program runs on keeps and gives back unchanged. A lone high surrogate
// would otherwise take the character after it (a literal's closing apostrophe) into a
// broken pair on the way to UTF-8; SQLite reads U+FFFE/U+FFFF back as U+FFFD, and a
// leading U+FFFE reads as a byte-order mark through ODBC.
QString ValidText(const QString &text);
