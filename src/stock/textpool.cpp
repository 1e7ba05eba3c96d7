#include "stock/textpool.h"

#include <QHash>

TextPool::TextPool()
{
    clear();
}

quint32 TextPool::add(const QString &text)
{
    if (text.isEmpty())
        return 0;
    const size_t hash = qHash(text);
    const quint32 known =
        m_numbers.find(hash, [&](quint32 number) { return m_texts[number] == text; });
    if (known != IndexTable::None)
        return known;
    const auto number = quint32(m_texts.size());
    m_texts.push_back(text);
    m_numbers.insert(
        hash, number, [](quint32) { return false; }, [&](quint32 n) { return qHash(m_texts[n]); });
    return number;
}

void TextPool::clear()
{
    m_texts.assign(1, QString());
    m_numbers.clear();
}
