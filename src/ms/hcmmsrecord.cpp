#include "hcmmsrecord.h"

QStringView HCMMSRecord::view(int field) const {
    if (field < 0 || field >= FieldCount)
        return {};
    const qsizetype from = begin(field);
    return QStringView(m_text).mid(from, m_end[field] - from);
}

void HCMMSRecord::setField(int field, QStringView text) {
    if (field < 0 || field >= FieldCount)
        return;
    const qsizetype from = begin(field);
    const qsizetype length = m_end[field] - from;
    // the new text may be a view into this record's own text
    const QString copy = text.toString();
    m_text.replace(from, length, copy.constData(), copy.size());
    const qsizetype delta = copy.size() - length;
    for (int i = field; i < FieldCount; ++i)
        m_end[i] = quint32(m_end[i] + delta);
}

void HCMMSRecord::assign(const Fields& fields) {
    qsizetype total = 0;
    for (const QStringView& f : fields)
        total += f.size();
    QString text;
    text.reserve(total);
    for (int i = 0; i < FieldCount; ++i) {
        text.append(fields[i]);
        m_end[i] = quint32(text.size());
    }
    m_text = std::move(text);
}

QString HCMMSRecord::coordinationReference() const {
    return QStringView(m_text)
        .mid(begin(RefCountry), m_end[RefOrderNumber] - begin(RefCountry))
        .toString();
}
