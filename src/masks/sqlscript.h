#pragma once

// Runs a file of SQL statements (the shipped equipment.sql) on a connection: the statements
// are split at the semicolons outside quotes and "--" comments, and run in one transaction.

#include <QString>
#include <QStringList>

class QSqlDatabase;

namespace SqlScript {

QStringList statements(const QString& script);
// false, and nothing of the script kept, when a statement fails; `error` then tells why
bool run(QSqlDatabase& db, const QString& script, QString* error);

} // namespace SqlScript
