// MSContentHandler's drive: the stream reader's tokens, and the reading of a large document
// by two threads.
#include "mscontenthandler.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QXmlStreamReader>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <future>
#include <system_error>
#include <thread>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("MSContentHandler", text);
}

// The reader is fed in pieces: given a whole large document at once it is markedly slower.
constexpr qsizetype kPiece = 64 * 1024;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The start of the line, past the middle of `bytes`, that holds nothing but blanks before the
// start tag of a Record; -1 when there is none, or when a carriage return before it stands
// alone (the reader counts lines by it as well).
qsizetype splitPoint(const QByteArray& bytes) {
    qsizetype at = bytes.size() / 2;
    qsizetype split = -1;
    while (split < 0) {
        at = bytes.indexOf("<Record", at);
        if (at < 0 || at + 7 >= bytes.size())
            return -1;
        qsizetype lineStart = at;
        if (bytes[at + 7] != '>' && !isBlank(bytes[at + 7]))
            lineStart = 0; // another name that begins alike
        while (lineStart > 0 && (bytes[lineStart - 1] == ' ' || bytes[lineStart - 1] == '\t'))
            --lineStart;
        if (lineStart > 0 && bytes[lineStart - 1] == '\n')
            split = lineStart;
        at += 7;
    }
    const char* data = bytes.constData();
    for (const char* cr = data;
         (cr = static_cast<const char*>(std::memchr(cr, '\r', std::size_t(data + split - cr)))) !=
         nullptr;
         ++cr)
        if (cr[1] != '\n')
            return -1;
    return split;
}

// The root element's start tag with its namespace declarations and a line feed, to stand in
// front of the second half; empty when the document is not plain UTF-8 or has a document
// type declaration or anything else unusual before its root.
QByteArray rootTag(const QByteArray& bytes) {
    if (bytes.size() < 4 || std::memchr(bytes.constData(), 0, 4) || bytes.startsWith("\xFE\xFF") ||
        bytes.startsWith("\xFF\xFE"))
        return {};
    QXmlStreamReader xml;
    xml.addData(bytes.left(kPiece));
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartDocument:
            if (!xml.documentEncoding().isEmpty() &&
                xml.documentEncoding().compare(u"UTF-8", Qt::CaseInsensitive) != 0)
                return {};
            break;
        case QXmlStreamReader::StartElement: {
            QString tag = u'<' + xml.qualifiedName().toString();
            for (const QXmlStreamNamespaceDeclaration& d : xml.namespaceDeclarations()) {
                tag += d.prefix().isEmpty() ? QStringLiteral(" xmlns")
                                            : QStringLiteral(" xmlns:") + d.prefix().toString();
                tag += QStringLiteral("=\"") + d.namespaceUri().toString().toHtmlEscaped() + u'"';
            }
            return (tag + QStringLiteral(">\n")).toUtf8();
        }
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
        case QXmlStreamReader::Characters:
            break;
        default:
            return {};
        }
    }
    return {};
}

// the length in characters of the last line of bytes[0, end), which ends in a line feed;
// blanks at its end not counted
qint64 lastLineLength(const QByteArray& bytes, qsizetype end) {
    qsizetype to = end - 1;
    while (to > 0 && isBlank(bytes[to - 1]) && bytes[to - 1] != '\n')
        --to;
    qsizetype from = to;
    while (from > 0 && bytes[from - 1] != '\n')
        --from;
    return QString::fromUtf8(bytes.constData() + from, to - from).size();
}

} // namespace

// bytes[pos, end) in pieces; the end can be moved on
class MSContentHandler::Feed {
public:
    Feed(const QByteArray& bytes, qsizetype from, qsizetype to)
        : m_bytes(bytes), m_pos(from), m_end(to) {}
    bool atEnd() const { return m_pos >= m_end; }
    QByteArray next() {
        const qsizetype size = std::min(kPiece, m_end - m_pos);
        const QByteArray piece(m_bytes.constData() + m_pos, size);
        m_pos += size;
        return piece;
    }
    void setEnd(qsizetype end) { m_end = end; }

private:
    const QByteArray& m_bytes;
    qsizetype m_pos;
    qsizetype m_end;
};

bool MSContentHandler::parse(QIODevice* device) {
    return parse(device->readAll());
}

bool MSContentHandler::parse(const QByteArray& bytes) {
    // on one core the halves would only take turns
    if (bytes.size() >= m_splitSize && std::thread::hardware_concurrency() != 1) {
        const qsizetype split = splitPoint(bytes);
        const QByteArray root = split > 0 ? rootTag(bytes) : QByteArray();
        if (!root.isEmpty())
            return parseSplit(bytes, split, root);
    }
    QXmlStreamReader xml;
    Feed feed(bytes, 0, bytes.size());
    return run(xml, feed, true) == Run::Done;
}

MSContentHandler::Run MSContentHandler::run(QXmlStreamReader& xml, Feed& feed, bool last) {
    for (;;) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            ++m_depth;
            m_cleanLine = -1;
            if (!startElement(xml.namespaceUri(), xml.name()))
                return Run::Failed;
            break;
        case QXmlStreamReader::EndElement:
            if (!endElement(xml.name()))
                return Run::Failed;
            if (--m_depth == 1) {
                m_cleanLine = xml.lineNumber();
                m_cleanColumn = xml.columnNumber();
            } else {
                m_cleanLine = -1;
                if (m_depth == 0 && !last)
                    return Run::Unsplittable;
            }
            break;
        case QXmlStreamReader::Characters:
            if (!xml.isWhitespace())
                m_cleanLine = -1;
            characters(xml.text());
            break;
        case QXmlStreamReader::DTD:
            fatalError(xml.lineNumber(), xml.columnNumber(),
                       tr("Document type declarations are not allowed."));
            return Run::Failed;
        case QXmlStreamReader::EntityReference:
            fatalError(xml.lineNumber(), xml.columnNumber(),
                       tr("The entity \"%1\" cannot be resolved.").arg(xml.name()));
            return Run::Failed;
        case QXmlStreamReader::EndDocument:
            return Run::Done;
        case QXmlStreamReader::Invalid:
            if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
                if (!feed.atEnd()) {
                    xml.addData(feed.next());
                    break;
                }
                if (!last)
                    return Run::NeedMore;
            }
            fatalError(xml.lineNumber(), xml.columnNumber(), xml.errorString());
            return Run::Failed;
        default:
            m_cleanLine = -1;
            break;
        }
    }
}

bool MSContentHandler::parseSplit(const QByteArray& bytes, qsizetype split,
                                  const QByteArray& rootTag) {
    const qint64 linesBefore = std::count(bytes.constData(), bytes.constData() + split, '\n');
    HCMMSHeader header;
    QVector<HCMMSRecord> records;
    MSContentHandler second(header, records, m_namespace);
    std::atomic<bool> stop{false};
    std::atomic<int> done{0};
    second.m_stop = &stop;
    second.m_done = &done;
    second.m_lineOffset = linesBefore - 1; // the root's tag is the second half's first line
    std::future<Run> secondRun;
    try {
        secondRun = std::async(std::launch::async, [&] {
            QXmlStreamReader xml;
            xml.addData(rootTag);
            Feed feed(bytes, split, bytes.size());
            return second.run(xml, feed, true);
        });
    } catch (const std::system_error&) { // no thread to be had: one reader does it all
        QXmlStreamReader xml;
        Feed feed(bytes, 0, bytes.size());
        return run(xml, feed, true) == Run::Done;
    }
    auto abandon = [&] {
        stop = true;
        secondRun.wait();
        m_other = nullptr;
    };

    m_other = &done;
    QXmlStreamReader xml;
    Feed feed(bytes, 0, split);
    const Run first = run(xml, feed, false);
    if (first == Run::Done || first == Run::Failed) {
        abandon();
        return first == Run::Done;
    }
    const bool clean = first == Run::NeedMore && m_depth == 1 && m_cleanLine == linesBefore &&
                       m_cleanColumn == lastLineLength(bytes, split);
    if (clean) {
        while (secondRun.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
            if (m_progress && !m_progress(m_expected, m_count + done.load())) {
                abandon();
                m_error = tr("Loading has been canceled");
                return false;
            }
        }
    }
    // the second half may not change the header: the first reader goes on through it then
    if (!clean || second.m_sawHeader) {
        abandon();
        feed.setEnd(bytes.size());
        return run(xml, feed, true) == Run::Done;
    }
    const Run result = secondRun.get();
    m_other = nullptr;
    m_split = true;
    m_records.append(std::move(records));
    m_count += second.m_count;
    if (second.m_sawSchemaVersion)
        m_schemaVersion = second.m_schemaVersion;
    if (result != Run::Done) {
        m_error = second.m_error;
        return false;
    }
    if (m_progress && !m_progress(m_expected, m_count)) {
        m_error = tr("Loading has been canceled");
        return false;
    }
    return true;
}
