#pragma once

#include "stock/indextable.h"

#include <QString>
#include <vector>

// Texts many rows hold alike (department, users, stamps, units, flags), each kept once and
// named by a 32-bit number. A text met for the first time simply adds one; number 0 is the
// empty text.
class TextPool
{
public:
    TextPool();

    quint32 add(const QString &text); // the text's number, adding it when new
    const QString &text(quint32 number) const { return m_texts[number]; }
    qsizetype size() const { return qsizetype(m_texts.size()); }
    void clear(); // only the empty text left

private:
    std::vector<QString> m_texts;
    IndexTable m_numbers;
};
