#include "testenvironment.h"

#include "apppaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkProxyFactory>
#include <QSettings>
#include <QStandardPaths>

namespace {

// Nothing a test starts may leave this machine: the program's default servers (the version check
// 4 s after start, among others) are reached through a proxy on a closed local port, which
// fails at once; the tests' own servers on 127.0.0.1 are reached directly.
class LocalOnlyProxies : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        const QString host = query.peerHostName();
        if (host == QLatin1String("127.0.0.1") || host == QLatin1String("localhost"))
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return {QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), 9)};
    }
};

} // namespace

TestEnvironment::TestEnvironment() {
    static const bool localOnly = [] {
        QNetworkProxyFactory::setApplicationProxyFactory(new LocalOnlyProxies);
        return true;
    }();
    (void)localOnly;
    QStandardPaths::setTestModeEnabled(true);
    QDir(m_dir.path()).mkpath(QStringLiteral("settings"));
    QDir(m_dir.path()).mkpath(QStringLiteral("machine"));
    QDir(m_dir.path()).mkpath(QStringLiteral("user"));
    AppPaths::setSettingsDirectory(m_dir.filePath(QStringLiteral("settings")));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope,
                       m_dir.filePath(QStringLiteral("machine")));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       m_dir.filePath(QStringLiteral("user")));
}

TestEnvironment::~TestEnvironment() {
    AppPaths::setSettingsDirectory(QString());
}

QString TestEnvironment::iniPath() const {
    return m_dir.filePath(QStringLiteral("settings/hcm.ini"));
}

QString TestEnvironment::userPath() const {
    return m_dir.filePath(QStringLiteral("user/HCM.ini"));
}

QString TestEnvironment::machinePath() const {
    return m_dir.filePath(QStringLiteral("machine/HCM.ini"));
}

void TestEnvironment::presetIni(const QList<QPair<QString, QVariant>>& values) const {
    QSettings ini(iniPath(), QSettings::IniFormat);
    for (const auto& [key, value] : values)
        ini.setValue(key, value);
}

QByteArray TestEnvironment::sampleFile() {
    return readFile(QStringLiteral(TARNWELL_TEST_DATA "/cli/sample-fs.txt"));
}

QByteArray TestEnvironment::numberedFile(int count) {
    const QList<QByteArray> lines = sampleFile().split('\n');
    QList<QByteArray> fields = lines.value(1).trimmed().split(';');
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        fields[8] = QByteArray("S") + QByteArray::number(i).rightJustified(2, '0');
        out += fields.join(';') + "\r\n";
    }
    return out;
}

QString TestEnvironment::writeFile(const QString& name, const QByteArray& bytes) const {
    const QString p = path(name);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        return QString();
    return p;
}

QByteArray TestEnvironment::readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList TestEnvironment::stationNames(const QByteArray& file) {
    QStringList names;
    for (const QByteArray& line : file.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(';');
        if (fields.size() > 8 && (fields[0] == "TX" || fields[0] == "RX"))
            names << QString::fromLatin1(fields[8]);
    }
    return names;
}
