#pragma once

// Runs the built tarnwell-cli as a process and keeps its exit status and output.
#include <QByteArray>
#include <QProcess>
#include <QStringList>

struct CliRun {
    int status = -1; // -1 when it did not end normally within a minute
    QByteArray out;
    QByteArray err;
};

inline CliRun runCli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(TARNWELL_CLI_PATH), args);
    CliRun r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.status = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}
