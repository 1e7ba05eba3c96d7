#pragma once

#include <QString>

// Switches the C library's locale (decimal mark of strtod, printf, ...) for the lifetime
// of the object and back afterwards. A locale the machine does not have installed is
// compiled with localedef into a temporary folder first (LOCPATH), once per test program.
class CLibraryLocale
{
public:
    explicit CLibraryLocale(const QString &name);
    ~CLibraryLocale();
    CLibraryLocale(const CLibraryLocale &) = delete;
    CLibraryLocale &operator=(const CLibraryLocale &) = delete;

    bool active() const { return m_active; }
    QString failure() const { return m_failure; }
    QString decimalPoint() const; // as the C library now writes it

private:
    QByteArray m_before;
    QByteArray m_locPathBefore;
    bool m_hadLocPath = false;
    bool m_active = false;
    QString m_failure;
};
