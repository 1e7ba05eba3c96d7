#pragma once

#include <QString>
#include <exception>

// The program's "current error": what a failing step hands to the error reports.
// Database failures carry the database's own error text as the description.
class RunError : public std::exception
{
public:
    // Error numbers, as the program's runtime reports them.
    enum Number : int {
        InvalidCall = 5,        // bad argument or state
        Overflow = 6,           // a number out of range
        TypeMismatch = 13,      // text where a number or a date was needed
        FileError = 75,         // path or file access
        Database = -2147467259, // any failure reported by the database layer
    };

    RunError(int number, QString description)
        : m_number(number), m_description(std::move(description)), m_what(m_description.toUtf8())
    {
    }

    int number() const { return m_number; }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};
