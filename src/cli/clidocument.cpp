#include "clidocument.h"

#include "filecheck.h"

#include <QFile>
#include <algorithm>
#include <ostream>

bool CliDocument::load(const std::string& path, std::ostream& err) {
    // what is not a regular file is not read at all, and every refusal says why
    const QByteArray bytes = QByteArray::fromStdString(path);
    const QString problem = FileCheck::readProblem(bytes, QString::fromLocal8Bit(bytes));
    if (!problem.isEmpty()) {
        err << "tarnwell-cli: " << problem.toLocal8Bit().constData() << "\n";
        return false;
    }
    Feedback feedback;
    if (!m_document.load(path, feedback)) {
        err << "tarnwell-cli: cannot start reading " << path << "\n";
        return false;
    }
    m_document.waitForJob();
    const auto& errors = m_document.loadErrors();
    const bool unreadable =
        std::any_of(errors.begin(), errors.end(), [](const LoadError& e) { return e.line < 0; });
    if (unreadable) {
        err << "tarnwell-cli: cannot read " << path << "\n";
        return false;
    }
    return true;
}

CliArguments::CliArguments(const std::vector<std::string>& args,
                           const std::vector<std::string>& valueOptions,
                           const std::vector<std::string>& flagOptions) {
    auto known = [](const std::vector<std::string>& list, const std::string& name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    bool onlyOperands = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyOperands || a.size() < 2 || a.compare(0, 2, "--") != 0) {
            operands.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyOperands = true;
            continue;
        }
        const size_t eq = a.find('=');
        const std::string name = a.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        if (known(valueOptions, name)) {
            if (eq != std::string::npos) {
                options.emplace_back(name, a.substr(eq + 1));
            } else if (i + 1 < args.size()) {
                options.emplace_back(name, args[++i]);
            } else {
                error = "option --" + name + " needs a value";
                return;
            }
        } else if (known(flagOptions, name) && eq == std::string::npos) {
            options.emplace_back(name, std::string());
        } else {
            error = "unknown option " + a;
            return;
        }
    }
}

bool CliArguments::has(const std::string& name) const {
    return std::any_of(options.begin(), options.end(),
                       [&](const auto& o) { return o.first == name; });
}

std::string CliArguments::value(const std::string& name) const {
    std::string v;
    for (const auto& o : options)
        if (o.first == name)
            v = o.second; // the last one given wins
    return v;
}
