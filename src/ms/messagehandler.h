#pragma once

#include <QString>

struct _xmlError;

// Collects the message of an XML schema validation for the user: its kind, its text and where
// in which file it points.
//
// A run of the validator may report many messages, most of them consequences of the first
// error (an element out of place makes every following sibling unexpected as well). The
// handler therefore keeps the FIRST error or fatal error of a run, the one the user should fix
// first. A warning is kept only until an error arrives, and only when nothing was kept before.
// clear() starts a new run.
class MessageHandler {
public:
    // libxml2's error levels, in increasing severity
    enum class Type { None, Warning, Error, Fatal };

    struct SourceLocation {
        qint64 line = 0;   // 1-based; 0 when unknown
        qint64 column = 0; // 1-based; 0 when unknown
        QString uri;       // the file name or URL the message is about; may be empty
    };

    void clear();

    // Offers one message; whether it is kept follows the rule above.
    void message(Type type, const QString& description, const SourceLocation& location);

    // Offers one message of libxml2's structured error callback (levels as above; the text
    // loses its trailing line feed).
    void message(const _xmlError& error);

    bool hasMessage() const { return m_type != Type::None; }
    Type type() const { return m_type; }
    QString description() const { return m_description; }
    SourceLocation sourceLocation() const { return m_location; }

private:
    Type m_type = Type::None;
    QString m_description;
    SourceLocation m_location;
};
