#include "messagehandler.h"

#include <libxml/xmlerror.h>

void MessageHandler::clear() {
    m_type = Type::None;
    m_description.clear();
    m_location = SourceLocation();
}

void MessageHandler::message(Type type, const QString& description,
                             const SourceLocation& location) {
    if (type == Type::None)
        return;
    const bool keep = m_type == Type::None || (m_type == Type::Warning && type != Type::Warning);
    if (!keep)
        return;
    m_type = type;
    m_description = description;
    m_location = location;
}

void MessageHandler::message(const _xmlError& error) {
    Type type = Type::None;
    switch (error.level) {
    case XML_ERR_NONE:
        return;
    case XML_ERR_WARNING:
        type = Type::Warning;
        break;
    case XML_ERR_ERROR:
        type = Type::Error;
        break;
    case XML_ERR_FATAL:
        type = Type::Fatal;
        break;
    }
    QString text = QString::fromUtf8(error.message ? error.message : "");
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    SourceLocation location;
    location.line = error.line > 0 ? error.line : 0;
    // the parser puts the column into int2; the schema validator leaves it 0
    location.column = error.int2 > 0 ? error.int2 : 0;
    location.uri = error.file ? QString::fromUtf8(error.file) : QString();
    message(type, text, location);
}
