#include "platform/codepage.h"

#include <QByteArray>
#include <QList>
#include <QString>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QStringDecoder>
#include <QStringEncoder>
#endif

namespace {

#ifdef Q_OS_WIN

constexpr UINT kCodePage = 950;

std::optional<char32_t> decoded(const QByteArray &bytes)
{
    wchar_t units[4];
    const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.constData(),
                                      int(bytes.size()), units, 4);
    const QString text = QString::fromWCharArray(units, qMax(n, 0));
    const QList<uint> points = text.toUcs4();
    if (points.size() != 1)
        return std::nullopt;
    return char32_t(points.front());
}

std::optional<QByteArray> encoded(char32_t character)
{
    const QString text = QString::fromUcs4(&character, 1);
    char bytes[4];
    BOOL usedDefault = FALSE;
    const int n =
        WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, reinterpret_cast<LPCWCH>(text.utf16()),
                            int(text.size()), bytes, int(sizeof bytes), nullptr, &usedDefault);
    if (n <= 0 || usedDefault)
        return std::nullopt;
    return QByteArray(bytes, n);
}

#else

// ICU's name of Microsoft's table (its "Big5" is the same table).
constexpr const char *kCodePage = "windows-950";

std::optional<char32_t> decoded(const QByteArray &bytes)
{
    QStringDecoder decoder(kCodePage, QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    const QString text = decoder(bytes);
    const QList<uint> points = text.toUcs4();
    if (decoder.hasError() || points.size() != 1)
        return std::nullopt;
    return char32_t(points.front());
}

std::optional<QByteArray> encoded(char32_t character)
{
    QStringEncoder encoder(kCodePage, QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        return std::nullopt;
    const QByteArray bytes = encoder(QString::fromUcs4(&character, 1));
    if (encoder.hasError() || bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

#endif

QByteArray bytesOf(quint16 code)
{
    if (code < 0x100)
        return QByteArray(1, char(code));
    const char pair[] = {char(code >> 8), char(code & 0xFF)};
    return QByteArray(pair, 2);
}

} // namespace

namespace AnsiCodePage {

std::optional<quint16> code(char32_t character)
{
    if (character < 0x80)
        return quint16(character);
    const std::optional<QByteArray> bytes = encoded(character);
    if (!bytes || bytes->size() > 2)
        return std::nullopt;
    const auto byte = [&](int i) { return quint16(quint8(bytes->at(i))); };
    const quint16 code = bytes->size() == 1 ? byte(0) : quint16(byte(0) << 8 | byte(1));
    // A stand-in that reads back as another character is no code of this one.
    if (decoded(bytesOf(code)) != character)
        return std::nullopt;
    return code;
}

std::optional<char32_t> character(quint16 code)
{
    if (code < 0x80)
        return char32_t(code);
    const std::optional<char32_t> character = decoded(bytesOf(code));
    // A second code of a character (the table has a few) does not turn back into itself.
    if (!character || AnsiCodePage::code(*character) != code)
        return std::nullopt;
    return character;
}

} // namespace AnsiCodePage
