#pragma once

// HCMFS_DLL.so loaded with QLibrary and called through its two entry points, as the program
// calls it.
#include "hcmfsapi.h"

#include <QByteArray>
#include <QLibrary>
#include <QString>
#include <QTemporaryDir>

class HcmfsLibrary {
public:
    struct Result {
        double overlappingArea = 12345;
        float nfd = 12345;
        float md = 12345;
        float interference = 12345;
        float aTotal = 12345;
        float td = 12345;
        int32_t error = 12345;
    };

    HcmfsLibrary();
    bool isLoaded() const { return m_v2 && m_annex; }
    QString errorString() const { return m_library.errorString(); }
    static QString path();
    // The data path handed to HCMFS_V2: by default an empty folder of its own, so that the
    // model's defaults apply whatever the user's data folder holds.
    void setDataPath(const QByteArray& path) { m_dataPath = path; }
    QByteArray dataPath() const { return m_dataPath; }

    Result calculate(const QByteArray& station1, const QByteArray& station2,
                     const QByteArray& station3 = {}, const QByteArray& station4 = {},
                     const QByteArray& reportFile = {}) const;
    int32_t trigger(const QByteArray& line, char* buffer, int32_t size) const;

private:
    QLibrary m_library;
    QTemporaryDir m_emptyFolder;
    QByteArray m_dataPath;
    HCMFS_V2_Function m_v2 = nullptr;
    HCMFS_ANNEX11_1_Function m_annex = nullptr;
};
