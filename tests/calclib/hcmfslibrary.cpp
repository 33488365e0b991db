#include "hcmfslibrary.h"

HcmfsLibrary::HcmfsLibrary() : m_library(path()) {
    m_dataPath = m_emptyFolder.path().toLocal8Bit();
    if (!m_library.load())
        return;
    m_v2 = reinterpret_cast<HCMFS_V2_Function>(m_library.resolve("HCMFS_V2"));
    m_annex = reinterpret_cast<HCMFS_ANNEX11_1_Function>(m_library.resolve("HCMFS_ANNEX11_1"));
}

QString HcmfsLibrary::path() {
    return QStringLiteral(HCMFS_LIBRARY_PATH);
}

HcmfsLibrary::Result HcmfsLibrary::calculate(const QByteArray& station1, const QByteArray& station2,
                                             const QByteArray& station3, const QByteArray& station4,
                                             const QByteArray& reportFile) const {
    Result r;
    const QByteArray& dataPath = m_dataPath;
    m_v2(&r.overlappingArea, &r.nfd, &r.md, &r.interference, &r.aTotal, &r.td, &r.error,
         station1.constData(), int32_t(station1.size()), station2.constData(),
         int32_t(station2.size()), station3.constData(), int32_t(station3.size()),
         station4.constData(), int32_t(station4.size()), reportFile.constData(),
         int32_t(reportFile.size()), dataPath.constData(), int32_t(dataPath.size()));
    return r;
}

int32_t HcmfsLibrary::trigger(const QByteArray& line, char* buffer, int32_t size) const {
    int32_t result = 12345;
    const QByteArray dataPath;
    m_annex(&result, line.constData(), int32_t(line.size()), buffer, size, dataPath.constData(),
            int32_t(dataPath.size()));
    return result;
}
