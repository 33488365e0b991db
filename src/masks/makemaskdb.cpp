// Build-time tool: makemaskdb <script.sql> <database>. Writes a new SQLite database from the
// script (an existing file is replaced only when the whole script ran).
#include "sqlscript.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: makemaskdb <script.sql> <database>\n");
        return 2;
    }
    QFile script(args.at(1));
    if (!script.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    const QString text = QString::fromUtf8(script.readAll());
    const QString target = args.at(2);
    const QString temporary = target + QStringLiteral(".new");
    QFile::remove(temporary);
    QString error;
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(temporary);
        ok = db.open() && SqlScript::run(db, text, &error);
        if (!db.isOpen())
            error = db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
    if (!ok) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        QFile::remove(temporary);
        return 1;
    }
    QFile::remove(target);
    return QFile::rename(temporary, target) ? 0 : 1;
}
