#pragma once

#include <QString>

#include <exception>
#include <functional>

// A failing step throws this; the description reads like the platform's own
// error text and is what handlers put after "Error::".
class QuillonError : public std::exception {
public:
    explicit QuillonError(QString description)
        : m_description(std::move(description)), m_utf8(m_description.toUtf8())
    {
    }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_description;
    QByteArray m_utf8;
};

// The description of whatever a handler caught.
QString errorDescription(const std::exception &e);

// Runs one statement of a procedure that passes over failing statements:
// a failure is dropped and the caller goes on with its next statement.
void passOver(const std::function<void()> &statement);
