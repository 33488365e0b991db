#include "mstext.h"

namespace MSText {

QStringView trimBlanks(QStringView text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from] == u' ')
        ++from;
    while (to > from && text[to - 1] == u' ')
        --to;
    return text.mid(from, to - from);
}

QString upper(QStringView text) {
    QString out(text.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        d[i] = text[i].toUpper();
    return out;
}

bool parseInteger(QStringView text, long long* value) {
    qsizetype i = 0;
    bool negative = false;
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+')) {
        negative = text[0] == u'-';
        i = 1;
    }
    if (i == text.size() || text.size() - i > 18)
        return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
    }
    *value = negative ? -v : v;
    return true;
}

bool isDecimal(QStringView text) {
    qsizetype i = 0;
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+'))
        i = 1;
    bool digit = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'.') {
            if (point)
                return false;
            point = true;
        } else if (c >= u'0' && c <= u'9') {
            digit = true;
        } else {
            return false;
        }
    }
    return digit;
}

namespace {

bool digits(QStringView text, qsizetype from, qsizetype count, int* value) {
    int v = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
    }
    *value = v;
    return true;
}

} // namespace

QDate dateFromDdMMyyyy(QStringView text) {
    int d = 0, m = 0, y = 0;
    if (text.size() != 8 || !digits(text, 0, 2, &d) || !digits(text, 2, 2, &m) ||
        !digits(text, 4, 4, &y))
        return {};
    return QDate(y, m, d);
}

QDate dateFromIso(QStringView text) {
    int d = 0, m = 0, y = 0;
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-' || !digits(text, 0, 4, &y) ||
        !digits(text, 5, 2, &m) || !digits(text, 8, 2, &d))
        return {};
    return QDate(y, m, d);
}

} // namespace MSText
