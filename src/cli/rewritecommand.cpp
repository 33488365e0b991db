#include "rewritecommand.h"

#include "atomicfile.h"
#include "clidocument.h"

#include <QFile>
#include <ostream>

namespace {
const char* const kUsage = "usage: tarnwell-cli rewrite IN OUT [--no-header]\n";
}

int RewriteCommand::run(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    const CliArguments parsed(args, {}, {"no-header"});
    if (!parsed.error.empty() || parsed.operands.size() != 2) {
        if (!parsed.error.empty())
            err << "tarnwell-cli rewrite: " << parsed.error << "\n";
        err << kUsage;
        return 2;
    }
    const std::string& in = parsed.operands[0];
    const std::string& outPath = parsed.operands[1];
    CliDocument file(SyntaxOption::Defaults);
    if (!file.load(in, err))
        return 2;
    HCMDocument& doc = file.document();

    std::string text;
    doc.appendFileText(text, doc.hasHeader() && !parsed.has("no-header"));
    const QByteArray outBytes = QByteArray::fromStdString(outPath);
    AtomicFile save(outBytes, QString::fromLocal8Bit(outBytes));
    const bool written =
        save.open() && save.write(text.data(), qint64(text.size())) && save.commit();
    if (!written) {
        err << "tarnwell-cli rewrite: " << save.errorString().toLocal8Bit().constData() << "\n";
        return 2;
    }
    // the output holds what the loader could read; a faulty line may have lost fields
    if (!doc.loadErrors().empty()) {
        err << "tarnwell-cli rewrite: " << in << " has load errors:\n" << doc.loadErrorText();
        return 1;
    }
    return 0;
}
