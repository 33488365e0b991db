#include "msxmlvalidation.h"
#include "messagehandler.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QFile>
#include <QUrl>

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

namespace MSXmlValidation {
namespace {

// libxml2 2.12 passes the error of the structured callback as const
#if LIBXML_VERSION >= 21200
using ErrorArgument = const xmlError*;
#else
using ErrorArgument = xmlError*;
#endif

void collect(void* handler, ErrorArgument error) {
    if (handler && error)
        static_cast<MessageHandler*>(handler)->message(*error);
}

void discardGenericError(void*, const char*, ...) {}

// The external entity loader is one for the whole process; validations take turns.
std::mutex validationMutex;

// While it lives, every libxml2 message of this thread goes to the handler (none to stderr)
// and no external resource is fetched from the network. What was installed before comes back.
class LibxmlGuard {
public:
    explicit LibxmlGuard(MessageHandler& handler)
        : m_structured(xmlStructuredError), m_structuredContext(xmlStructuredErrorContext),
          m_generic(xmlGenericError), m_genericContext(xmlGenericErrorContext),
          m_loader(xmlGetExternalEntityLoader()) {
        xmlSetStructuredErrorFunc(&handler, collect);
        xmlSetGenericErrorFunc(nullptr, discardGenericError);
        xmlSetExternalEntityLoader(xmlNoNetExternalEntityLoader);
    }
    ~LibxmlGuard() {
        xmlSetExternalEntityLoader(m_loader);
        xmlSetGenericErrorFunc(m_genericContext, m_generic);
        xmlSetStructuredErrorFunc(m_structuredContext, m_structured);
    }
    LibxmlGuard(const LibxmlGuard&) = delete;
    LibxmlGuard& operator=(const LibxmlGuard&) = delete;

private:
    xmlStructuredErrorFunc m_structured;
    void* m_structuredContext;
    xmlGenericErrorFunc m_generic;
    void* m_genericContext;
    xmlExternalEntityLoader m_loader;
};

template <class T, void (*Free)(T*)> struct Deleter {
    void operator()(T* p) const { Free(p); }
};
using SchemaParser =
    std::unique_ptr<xmlSchemaParserCtxt, Deleter<xmlSchemaParserCtxt, xmlSchemaFreeParserCtxt>>;
using Schema = std::unique_ptr<xmlSchema, Deleter<xmlSchema, xmlSchemaFree>>;
using SchemaValidator =
    std::unique_ptr<xmlSchemaValidCtxt, Deleter<xmlSchemaValidCtxt, xmlSchemaFreeValidCtxt>>;
using Parser = std::unique_ptr<xmlParserCtxt, Deleter<xmlParserCtxt, xmlFreeParserCtxt>>;

QString localPath(const QString& name) {
    const QUrl url(name);
    return url.isLocalFile() ? url.toLocalFile() : name;
}

QString tr(const char* text) {
    return QCoreApplication::translate("MSXmlValidation", text);
}

// Where the parser found a document type declaration, if it found one.
struct Doctype {
    bool found = false;
    int line = 0;
    int column = 0;
};

// The parser has just read "<!DOCTYPE name" and any external identifier. The declaration
// begins at the last "<!DOCTYPE" still buffered before the current position.
void locateDoctype(const xmlParserInput* input, Doctype& doctype) {
    doctype.line = input ? input->line : 0;
    if (!input || !input->base || !input->cur || input->cur < input->base)
        return;
    const std::string_view read(reinterpret_cast<const char*>(input->base),
                                std::size_t(input->cur - input->base));
    const std::size_t at = read.rfind("<!DOCTYPE");
    if (at == std::string_view::npos)
        return;
    doctype.line -= int(std::count(read.begin() + at, read.end(), '\n'));
    const std::size_t lineEnd = at == 0 ? std::string_view::npos : read.rfind('\n', at - 1);
    if (lineEnd != std::string_view::npos)
        doctype.column = int(at - lineEnd);
    else if (input->consumed == 0)
        doctype.column = int(at) + 1;
}

// What the parse of a document keeps beside the validator: a document type declaration, and
// the line of each open element's start tag.
struct Reading {
    xmlParserCtxt* parser = nullptr;
    Doctype doctype;
    std::vector<unsigned long> starts;
    // an element has just ended: its start stays on top while the validator checks its end
    bool ended = false;
};

Reading& readingOf(void* context) {
    return *static_cast<Reading*>(static_cast<xmlParserCtxt*>(context)->_private);
}

void settle(Reading& reading) {
    if (reading.ended && !reading.starts.empty())
        reading.starts.pop_back();
    reading.ended = false;
}

// SAX callback for the start of a document type declaration: stops the parse at once, before
// the internal subset or an external DTD is read.
void refuseDoctype(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* parser = static_cast<xmlParserCtxt*>(context);
    Doctype& doctype = readingOf(context).doctype;
    if (!doctype.found) {
        doctype.found = true;
        locateDoctype(parser->input, doctype);
    }
    xmlStopParser(parser);
}

void startElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*, int,
                  const xmlChar**, int, int, const xmlChar**) {
    Reading& reading = readingOf(context);
    settle(reading);
    const xmlParserInput* input = static_cast<xmlParserCtxt*>(context)->input;
    reading.starts.push_back(input ? static_cast<unsigned long>(input->line) : 0);
}

void endElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    Reading& reading = readingOf(context);
    settle(reading);
    reading.ended = true;
}

void noteText(void* context, const xmlChar*, int) {
    settle(readingOf(context));
}

// Where the validator's complaint is: at the start tag of the element it is checking, as a
// validation of the whole tree would place it.
int locate(void* context, const char** file, unsigned long* line) {
    const Reading& reading = *static_cast<const Reading*>(context);
    const xmlParserInput* input = reading.parser ? reading.parser->input : nullptr;
    *file = input ? input->filename : nullptr;
    *line = !reading.starts.empty() ? reading.starts.back()
            : input                 ? static_cast<unsigned long>(input->line)
                                    : 0;
    return 0;
}

// Makes sure that a stage that failed leaves an error, with the file's name, in its handler:
// libxml2 may have described the failure as a warning only (a file that cannot be opened), or
// not at all.
void fail(MessageHandler& stage, const QString& fallback, const QString& uri) {
    MessageHandler::Type type = MessageHandler::Type::Fatal;
    QString text = fallback;
    MessageHandler::SourceLocation location;
    if (stage.hasMessage()) {
        if (stage.type() != MessageHandler::Type::Warning)
            type = stage.type();
        text = stage.description();
        location = stage.sourceLocation();
    }
    // a file that cannot be opened comes without a name
    if (location.uri.isEmpty())
        location.uri = uri;
    stage.clear();
    stage.message(type, text, location);
}

// Passes on what a stage kept, under the same rule: a stage's error replaces an earlier
// stage's warning.
void merge(MessageHandler& handler, const MessageHandler& stage) {
    if (stage.hasMessage())
        handler.message(stage.type(), stage.description(), stage.sourceLocation());
}

} // namespace

Outcome validate(const QString& xmlFile, const QString& schemaFile, MessageHandler& handler) {
    static std::once_flag initialised;
    std::call_once(initialised, xmlInitParser);
    const std::lock_guard<std::mutex> lock(validationMutex);
    handler.clear();
    const LibxmlGuard guard(handler);

    const QString schemaPath = localPath(schemaFile);
    const QByteArray schemaName = QFile::encodeName(schemaPath);
    Schema schema;
    {
        const SchemaParser parser(xmlSchemaNewParserCtxt(schemaName.constData()));
        if (parser) {
            xmlSchemaSetParserStructuredErrors(parser.get(), collect, &handler);
            schema.reset(xmlSchemaParse(parser.get()));
        }
    }
    if (!schema) {
        fail(handler, tr("This is not a valid schema file"), schemaPath);
        return Outcome::InvalidSchema;
    }

    // The parser hands the document to the validator as it reads it: no tree is built. Reading
    // and validating report into handlers of their own: a document that is not well-formed is
    // reported as such even when the validator objected to something before, and a warning of
    // an earlier stage is never taken for their failure.
    const QString documentPath = localPath(xmlFile);
    const QByteArray documentName = QFile::encodeName(documentPath);
    MessageHandler reading;
    MessageHandler validating;
    xmlSetStructuredErrorFunc(&reading, collect);
    const Parser parser(
        xmlCreateURLParserCtxt(documentName.constData(), XML_PARSE_NONET | XML_PARSE_BIG_LINES));
    const SchemaValidator validator(parser ? xmlSchemaNewValidCtxt(schema.get()) : nullptr);
    Reading state;
    xmlSchemaSAXPlugPtr plug = nullptr;
    if (validator) {
        // No tree, and nothing of a DTD is used: the only callbacks of our own refuse a
        // document type declaration and note where elements start.
        xmlSAXHandler sax{};
        sax.initialized = XML_SAX2_MAGIC;
        sax.internalSubset = refuseDoctype;
        sax.startElementNs = startElement;
        sax.endElementNs = endElement;
        sax.characters = noteText;
        sax.ignorableWhitespace = noteText;
        *parser->sax = sax;
        parser->_private = &state;
        xmlSchemaSetValidStructuredErrors(validator.get(), collect, &validating);
        xmlSchemaValidateSetLocator(validator.get(), locate, &state);
        plug = xmlSchemaSAXPlug(validator.get(), &parser->sax, &parser->userData);
    }
    if (!plug) {
        fail(reading, parser ? tr("Out of memory") : tr("The file cannot be read."), documentPath);
        merge(handler, reading);
        return Outcome::InvalidDocument;
    }
    state.parser = parser.get();
    xmlParseDocument(parser.get());
    const bool valid = xmlSchemaIsValid(validator.get()) == 1;
    xmlSchemaSAXUnplug(plug);
    if (state.doctype.found) {
        MessageHandler::SourceLocation location;
        location.line = state.doctype.line;
        location.column = state.doctype.column;
        location.uri = documentPath;
        reading.clear();
        reading.message(MessageHandler::Type::Fatal,
                        tr("Document type declarations are not allowed."), location);
        merge(handler, reading);
        return Outcome::InvalidDocument;
    }
    if (!parser->wellFormed || !parser->nsWellFormed) {
        fail(reading, tr("The file cannot be read."), documentPath);
        merge(handler, reading);
        return Outcome::InvalidDocument;
    }
    merge(handler, reading);
    if (!valid) {
        fail(validating, tr("The document does not conform to the schema."), documentPath);
        merge(handler, validating);
        return Outcome::InvalidDocument;
    }
    merge(handler, validating);
    return Outcome::Valid;
}

QString schemaVersionOf(const QString& schemaFile) {
    QFile file(localPath(schemaFile));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QDomDocument dom;
    if (!dom.setContent(&file))
        return QString();
    const QDomNodeList schemas = dom.elementsByTagName(QStringLiteral("xs:schema"));
    if (schemas.isEmpty())
        return QString();
    return schemas.at(0).toElement().attribute(QStringLiteral("version"));
}

} // namespace MSXmlValidation
