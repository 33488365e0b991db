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
using Document = std::unique_ptr<xmlDoc, Deleter<xmlDoc, xmlFreeDoc>>;

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

// SAX callback for the start of a document type declaration: stops the parse at once, before
// the internal subset or an external DTD is read.
void refuseDoctype(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* parser = static_cast<xmlParserCtxt*>(context);
    if (auto* doctype = static_cast<Doctype*>(parser->_private); doctype && !doctype->found) {
        doctype->found = true;
        locateDoctype(parser->input, *doctype);
    }
    xmlStopParser(parser);
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

    // Reading and validating the document report into handlers of their own, so that a
    // warning of an earlier stage is never taken for their failure.
    const QString documentPath = localPath(xmlFile);
    const QByteArray documentName = QFile::encodeName(documentPath);
    MessageHandler reading;
    xmlSetStructuredErrorFunc(&reading, collect);
    const Parser parser(xmlNewParserCtxt());
    if (!parser) {
        fail(reading, tr("Out of memory"), documentPath);
        merge(handler, reading);
        return Outcome::InvalidDocument;
    }
    Doctype doctype;
    parser->_private = &doctype;
    parser->sax->internalSubset = refuseDoctype;
    // No XML_PARSE_NOENT, XML_PARSE_DTDLOAD or XML_PARSE_DTDATTR: nothing of a DTD is used.
    const Document document(xmlCtxtReadFile(parser.get(), documentName.constData(), nullptr,
                                            XML_PARSE_NONET | XML_PARSE_BIG_LINES));
    if (doctype.found) {
        MessageHandler::SourceLocation location;
        location.line = doctype.line;
        location.column = doctype.column;
        location.uri = documentPath;
        reading.clear();
        reading.message(MessageHandler::Type::Fatal,
                        tr("Document type declarations are not allowed."), location);
        merge(handler, reading);
        return Outcome::InvalidDocument;
    }
    if (!document || !parser->wellFormed || !parser->nsWellFormed) {
        fail(reading, tr("The file cannot be read."), documentPath);
        merge(handler, reading);
        return Outcome::InvalidDocument;
    }
    merge(handler, reading);

    MessageHandler validating;
    xmlSetStructuredErrorFunc(&validating, collect);
    const SchemaValidator validator(xmlSchemaNewValidCtxt(schema.get()));
    if (validator)
        xmlSchemaSetValidStructuredErrors(validator.get(), collect, &validating);
    if (!validator || xmlSchemaValidateDoc(validator.get(), document.get()) != 0) {
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
