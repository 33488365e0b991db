#include "sqlscript.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace SqlScript {

QStringList statements(const QString& script) {
    QStringList result;
    QString current;
    QChar quote;
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar c = script.at(i);
        if (!quote.isNull()) {
            current += c;
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('-') && script.mid(i, 2) == QLatin1String("--")) {
            const qsizetype end = script.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? script.size() : end;
            current += QLatin1Char('\n');
            continue;
        }
        if (c == QLatin1Char(';')) {
            if (!current.trimmed().isEmpty())
                result << current.trimmed();
            current.clear();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            quote = c;
        current += c;
    }
    if (!current.trimmed().isEmpty())
        result << current.trimmed();
    return result;
}

bool run(QSqlDatabase& db, const QString& script, QString* error) {
    if (!db.transaction()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    QSqlQuery query(db);
    for (const QString& statement : statements(script)) {
        if (!query.exec(statement)) {
            if (error)
                *error = query.lastError().text() + QStringLiteral("\n") + statement;
            query.finish();
            db.rollback();
            return false;
        }
    }
    query.finish();
    if (db.commit())
        return true;
    if (error)
        *error = db.lastError().text();
    return false;
}

} // namespace SqlScript
