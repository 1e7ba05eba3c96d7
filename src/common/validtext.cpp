#include "common/validtext.h"

QString ValidText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            out.append(c);
            out.append(text[++i]);
        } else if (c.isSurrogate() || c.unicode() >= 0xFFFE) {
            out.append(QChar::ReplacementCharacter);
        } else if (!c.isNull()) {
            out.append(c);
        }
    }
    return out;
}
