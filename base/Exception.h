#pragma once

#include <QString>

#include <exception>

// Base of every exception the system raises. The message is the text shown
// to the user (already localised where it comes from the language table).
class Exception : public std::exception
{
public:
    explicit Exception(QString message);

    [[nodiscard]] const QString& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};
