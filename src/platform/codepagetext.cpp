#include "platform/codepagetext.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QStringDecoder>
#endif

namespace AnsiCodePage {

#ifdef Q_OS_WIN

std::optional<QString> decode(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    const int size = int(bytes.size());
    const int n = MultiByteToWideChar(950, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (n <= 0)
        return std::nullopt;
    QString text(n, Qt::Uninitialized);
    MultiByteToWideChar(950, MB_ERR_INVALID_CHARS, bytes.data(), size,
                        reinterpret_cast<LPWSTR>(text.data()), n);
    return text;
}

#else

std::optional<QString> decode(QByteArrayView bytes)
{
    // ICU's name of Microsoft's table (its "Big5" is the same table). Qt 6.4 on Linux
    // reaches it through ICU; Windows builds without ICU take the branch above.
    QStringDecoder decoder("windows-950", QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

#endif

} // namespace AnsiCodePage
