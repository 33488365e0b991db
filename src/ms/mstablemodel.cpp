#include "mstablemodel.h"

#include "atomicfile.h"
#include "messagehandler.h"
#include "mscolumns.h"
#include "msfieldrules.h"
#include "mstextformat.h"
#include "msxmlformat.h"
#include "msxmlvalidation.h"

#include <QFile>
#include <algorithm>

namespace {

bool isXmlName(const QString& fileName) {
    return fileName.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive);
}

} // namespace

MSTableModel::MSTableModel(QObject* parent)
    : QAbstractTableModel(parent), m_validation(std::make_unique<MessageHandler>()) {}

MSTableModel::~MSTableModel() = default;

int MSTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_records.size());
}

int MSTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : MSColumns::Count;
}

QVariant MSTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_records.size() || index.column() >= MSColumns::Count)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return MSColumns::text(m_records[index.row()], index.column());
    case Qt::ToolTipRole: {
        QString message;
        checkCell(index, &message);
        return message;
    }
    case Qt::BackgroundRole:
        return checkCell(index) ? m_validBackground : m_invalidBackground;
    default:
        return {};
    }
}

bool MSTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= m_records.size() || index.column() < 0 ||
        index.column() >= MSColumns::Count)
        return false;
    if (role != Qt::EditRole)
        return true;
    const QString text = value.toString();
    HCMMSRecord& record = m_records[index.row()];
    if (text == MSColumns::text(record, index.column()))
        return true;
    if (index.column() == MSColumns::CoordinationReference) {
        // the 15 characters CCCYYPPPPPPFFRO over the six fields, each taking what exists of
        // its span
        static const int spans[6][2] = {{0, 3}, {3, 2}, {5, 6}, {11, 2}, {13, 1}, {14, 1}};
        for (int i = 0; i < 6; ++i)
            record.setField(HCMMSRecord::RefCountry + i,
                            QStringView(text).mid(spans[i][0], spans[i][1]));
    } else {
        record.setField(MSColumns::field(index.column()), text);
    }
    emit dataChanged(index, index);
    return true;
}

QVariant MSTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return QStringLiteral("  ");
    return MSColumns::title(section);
}

Qt::ItemFlags MSTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
}

bool MSTableModel::insertRows(int row, int count, const QModelIndex& parent) {
    // a row past the end would announce rows that cannot exist
    if (count <= 0 || parent.isValid() || row < 0 || row > m_records.size())
        return false;
    beginInsertRows(QModelIndex(), row, row + count - 1);
    m_records.insert(row, count, HCMMSRecord());
    endInsertRows();
    return true;
}

bool MSTableModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (count < 0 || row < 0 || parent.isValid())
        return false;
    // rows beyond the list are skipped: only the ones that exist are announced
    const int last = int(std::min<qsizetype>(qsizetype(row) + count, m_records.size())) - 1;
    if (last < row)
        return true;
    beginRemoveRows(QModelIndex(), row, last);
    m_records.remove(row, last - row + 1);
    endRemoveRows();
    return true;
}

void MSTableModel::removeRowList(const QList<int>& rows) {
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    beginResetModel();
    QVector<HCMMSRecord> kept;
    kept.reserve(m_records.size());
    auto next = sorted.cbegin();
    for (int i = 0; i < m_records.size(); ++i) {
        while (next != sorted.cend() && *next < i)
            ++next;
        if (next == sorted.cend() || *next != i)
            kept.append(std::move(m_records[i]));
    }
    m_records = std::move(kept);
    endResetModel();
}

void MSTableModel::setBackgrounds(const QVariant& valid, const QVariant& invalid) {
    m_validBackground = valid;
    m_invalidBackground = invalid;
}

void MSTableModel::setRecord(int row, const HCMMSRecord& record) {
    if (row < 0 || row >= m_records.size())
        return;
    m_records[row] = record;
    emit dataChanged(index(row, 0), index(row, MSColumns::Count - 1));
}

bool MSTableModel::checkCell(const QModelIndex& index, QString* message) const {
    if (!index.isValid() || index.row() >= m_records.size())
        return true;
    return MSFieldRules::checkCell(m_records[index.row()], index.column(), message);
}

int MSTableModel::checkNumber(QStringView text, bool required, bool signAllowed, int intDigits,
                              int fracDigits) {
    return MSFieldRules::checkNumber(text, required, signAllowed, intDigits, fracDigits);
}

QString MSTableModel::numberMessage(int code) {
    return MSFieldRules::numberMessage(code);
}

bool MSTableModel::cancelled() const {
    return m_cancelFlag && m_cancelFlag->load();
}

MSProgress MSTableModel::progressReporter() {
    auto last = std::make_shared<long long>(-1);
    return [this, last](int total, int done) {
        const long long step = total > 0 ? (long long)done * 1000 / total : done;
        if (step != *last || done == total) {
            *last = step;
            emit progressChanged(total, done);
        }
        return !cancelled();
    };
}

bool MSTableModel::fail(const QString& error) {
    m_lastError = error;
    return false;
}

bool MSTableModel::readFile(const QString& fileName) {
    beginResetModel();
    m_records.clear();
    m_header.clear();
    m_lastError.clear();
    QFile file(fileName);
    bool ok = file.open(QIODevice::ReadOnly);
    if (ok && cancelled()) {
        ok = false;
        m_lastError = tr("Loading has been canceled");
    } else if (!ok) {
        m_lastError = tr("Could not open file\n%1\n for reading.").arg(fileName);
    } else if (isXmlName(fileName)) {
        ok = MSXmlFormat::read(&file, m_header, m_records, &m_schemaVersion, &m_lastError,
                               progressReporter());
    } else {
        ok = MSTextFormat::read(file.readAll(), m_header, m_records, &m_lastError,
                                progressReporter());
    }
    m_records.squeeze();
    endResetModel();
    return ok;
}

bool MSTableModel::writeFile(const QString& fileName) {
    m_lastError.clear();
    m_writeWarnings.clear();
    QByteArray bytes;
    if (isXmlName(fileName)) {
        if (m_schemaVersion.isEmpty())
            m_schemaVersion = QStringLiteral("1.0");
        if (!MSXmlFormat::write(m_header, m_records, m_schemaVersion, &bytes, &m_writeWarnings,
                                progressReporter()))
            bytes.clear();
    } else {
        bytes = MSTextFormat::write(m_header, m_records, &m_writeWarnings, progressReporter());
    }
    // the writers stop early only when asked to; the flag is read once more for a request
    // that came after the last record
    if (bytes.isEmpty() || cancelled())
        return fail(tr("Saving has been canceled"));
    AtomicFile file(fileName);
    if (!file.open())
        return fail(tr("Could not open file\n%1\n for writing.").arg(fileName));
    if (!file.write(bytes) || !file.commit())
        return fail(tr("Error occured while writing data to file\n%1.").arg(fileName));
    if (!m_writeWarnings.isEmpty())
        return fail(tr("File saved with some issues."));
    return true;
}

const MessageHandler& MSTableModel::validationMessage() const {
    return *m_validation;
}

bool MSTableModel::validateFile(const QString& xmlFile, const QString& schemaFile) {
    m_validation->clear();
    const MSXmlValidation::Outcome outcome =
        MSXmlValidation::validate(xmlFile, schemaFile, *m_validation);
    m_schemaInvalid = outcome == MSXmlValidation::Outcome::InvalidSchema;
    switch (outcome) {
    case MSXmlValidation::Outcome::Valid:
        m_schemaVersion = MSXmlValidation::schemaVersionOf(schemaFile);
        return true;
    case MSXmlValidation::Outcome::InvalidDocument:
        emit errorRow(int(m_validation->sourceLocation().line));
        return false;
    case MSXmlValidation::Outcome::InvalidSchema:
        break;
    }
    return false;
}
