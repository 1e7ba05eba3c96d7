// Encrypt, declared with the other connection pieces in data/adodb.h.
#include "data/adodb.h"

#include "common/errorreport.h"
#include "platform/codepage.h"

#include <QList>

namespace {

// The suite's runtime scrambles a character's code in the ANSI code page (Asc, then Chr of
// the result): a Big5 character's two bytes as one number. With an ASCII key only the trail
// byte changes, and the result is often no character of the code page (a trail byte below
// 0x40): the runtime has no way to keep such a code in its text. Here it is kept as the
// private-use character U+F0000 + code, so that unscrambling gives the text back; codes that
// are characters come out as the runtime gives them, so that what the suite's menu program
// stores reads back as it does there. A character the code page lacks has no code and stays
// as it is (the position still uses up its key character).
constexpr char32_t kNoCharacterBase = 0xF0000;

// The text's characters: surrogate pairs joined, a lone surrogate kept as it is.
QList<char32_t> charactersOf(const QString &text)
{
    QList<char32_t> out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out.append(QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
        } else {
            out.append(c.unicode());
        }
    }
    return out;
}

std::optional<quint16> codeOf(char32_t character)
{
    if (character >= kNoCharacterBase && character <= kNoCharacterBase + 0xFFFF) {
        const quint16 code = quint16(character - kNoCharacterBase);
        if (!AnsiCodePage::character(code))
            return code;
    }
    return AnsiCodePage::code(character);
}

char32_t characterOf(quint16 code)
{
    return AnsiCodePage::character(code).value_or(kNoCharacterBase + code);
}

} // namespace

QString Encrypt(const QString &text, const QString &key)
{
    if (text.isEmpty())
        return QString();
    if (key.isEmpty()) {
        ShowErr(QStringLiteral("Encrypt"),
                RunError(RunError::InvalidCall, QStringLiteral("程序呼叫或引數不正確")));
        return QString();
    }
    // A key character the code page lacks reads as "?", as the runtime reads it.
    QList<quint16> keyCodes;
    for (const char32_t k : charactersOf(key))
        keyCodes.append(codeOf(k).value_or(quint16('?')));
    QString out;
    out.reserve(text.size());
    qsizetype j = 0;
    for (char32_t c : charactersOf(text)) {
        if (const std::optional<quint16> code = codeOf(c))
            c = characterOf(*code ^ keyCodes[j]);
        if (QChar::requiresSurrogates(c)) {
            const QChar pair[] = {QChar(QChar::highSurrogate(c)), QChar(QChar::lowSurrogate(c))};
            out.append(pair, 2);
        } else {
            out.append(QChar(char16_t(c)));
        }
        j = (j + 1) % keyCodes.size();
    }
    return out;
}
