#pragma once

#include "hcmmsheader.h"
#include "hcmmsrecord.h"
#include "msprogress.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>

class QIODevice;

// The HCM MS XML format: the header and the records as an element tree in the MS namespace.
namespace MSXmlFormat {

// "urn:hcm:ms" unless set otherwise (the setting ms_xml_namespace); set it before files are
// read or written
QString namespaceUri();
void setNamespaceUri(const QString& uri); // empty: back to "urn:hcm:ms"
QString defaultNamespaceUri();

// Reads a document; false with `error` at the first fault or when `progress` asked to stop
// ("Loading has been canceled"); the records read so far stay.
// `schemaVersion` receives the HcmMsSchemaVersion text in every case.
bool read(QIODevice* device, HCMMSHeader& header, QVector<HCMMSRecord>& records,
          QString* schemaVersion, QString* error, const MSProgress& progress = {});

// The document as UTF-8, preceded by the XML declaration. False when `progress` asked to stop
// before the document was complete. A character XML 1.0 cannot hold is written as a blank,
// with a warning in `warnings`.
bool write(const HCMMSHeader& header, const QVector<HCMMSRecord>& records,
           const QString& schemaVersion, QByteArray* out, QStringList* warnings,
           const MSProgress& progress = {});

} // namespace MSXmlFormat
