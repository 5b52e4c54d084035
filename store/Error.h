#pragma once

#include <QString>
#include <exception>

// The one error type the program raises. It ends the command that was running; the application's
// error display shows its message, and whatever the command wrote before stays written.
class AppError : public std::exception
{
public:
    explicit AppError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

    static AppError unableToWrite(const QString &fileName)
    {
        return AppError(QStringLiteral("Unable to write to %1").arg(fileName));
    }

private:
    QString m_message;
    QByteArray m_utf8;
};
