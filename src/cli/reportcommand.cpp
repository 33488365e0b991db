#include "reportcommand.h"

#include "datareport.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QStringList>
#include <ostream>

namespace {

const char* const kUsage = "usage: tarnwell-cli report export REPORT OUT.xml\n"
                           "       tarnwell-cli report show REPORT\n";

QString fromArg(const std::string& s) {
    return QFile::decodeName(QByteArray::fromStdString(s));
}

} // namespace

int ReportCommand::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool exporting = args.size() == 3 && args[0] == "export";
    const bool showing = args.size() == 2 && args[0] == "show";
    if (!exporting && !showing) {
        err << kUsage;
        return 2;
    }
    const QString path = fromArg(args[1]);
    if (!QFileInfo(path).isFile()) {
        err << "tarnwell-cli report: cannot read " << args[1] << "\n";
        return 2;
    }
    dataReport report(path);
    if (!report.loadResults() && !report.loadTrigger()) {
        err << "tarnwell-cli report: "
            << dataReport::tr("Could not open HCM Report file!").toLocal8Bit().constData() << "\n";
        return 1;
    }
    if (exporting) {
        if (!report.exportXml(fromArg(args[2]))) {
            err << "tarnwell-cli report: "
                << dataReport::tr("Could not save the report!").toLocal8Bit().constData() << "\n";
            return 1;
        }
        return 0;
    }
    // the captions, then the rows as they are stored, read one at a time
    QSqlQueryModel* model = report.model();
    QStringList cells;
    for (int c = 0; c < model->columnCount(); ++c)
        cells << model->headerData(c, Qt::Horizontal).toString();
    out << cells.join(QLatin1Char('\t')).toUtf8().constData() << "\n";
    const bool read = report.forEachRow([&out, &cells](const QSqlRecord& row) {
        cells.clear();
        for (int c = 0; c < row.count(); ++c)
            cells << row.value(c).toString();
        out << cells.join(QLatin1Char('\t')).toUtf8().constData() << "\n";
        return true;
    });
    if (!read) {
        err << "tarnwell-cli report: cannot read the rows of " << args[1] << "\n";
        return 1;
    }
    return 0;
}
