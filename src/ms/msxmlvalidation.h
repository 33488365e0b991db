#pragma once

#include <QString>

class MessageHandler;

// Validation of an MS XML file against an XML schema (libxml2), and the version of a schema.
// No message boxes: the caller shows the outcome and the handler's message.
namespace MSXmlValidation {

enum class Outcome {
    Valid,           // the document conforms to the schema
    InvalidSchema,   // the schema file could not be read or is no valid XML schema
    InvalidDocument, // the document could not be read, is not well-formed, carries a document
                     // type declaration, or breaks the schema
};

// Validates xmlFile against schemaFile, a file name or a file:// URL. The handler is cleared
// first and then holds the first error (for InvalidSchema the schema's, for InvalidDocument
// the document's, with its line); it stays empty for Valid, or holds a warning.
//
// The document is validated as the parser reads it, without building its tree; an error
// found at the end of an element is placed at the element's start tag. A document that is not
// well-formed is reported as such even when a schema error came before.
//
// Nothing is fetched from the network, and documents with a document type declaration are
// refused before any of it is read: no entity is expanded, no DTD loaded. Calls from several
// threads are serialised.
Outcome validate(const QString& xmlFile, const QString& schemaFile, MessageHandler& handler);

// The "version" attribute of the first element named "xs:schema" in schemaFile (a file name or
// a file:// URL); empty when the file cannot be read or parsed or has no such element.
QString schemaVersionOf(const QString& schemaFile);

} // namespace MSXmlValidation
