#pragma once

#include "hcmmsapi.h"
#include "mscalcresult.h"

#include <QByteArray>
#include <QLibrary>
#include <QString>
#include <QStringList>

// The MS calculation library loaded at run time: its pair calculation, and where it has them
// its border line, its list of countries and the texts of its error codes.
class MSCalcLibrary {
public:
    MSCalcLibrary() = default;
    MSCalcLibrary(const MSCalcLibrary&) = delete;
    MSCalcLibrary& operator=(const MSCalcLibrary&) = delete;

    // false with errorText(): the name is empty, the file is missing, or it cannot be loaded or
    // has no "HCMMS_V7_DLL"
    bool load(const QString& path);
    bool isLoaded() const { return m_calculate != nullptr; }
    QString errorText() const { return m_error; }
    // the library's file version "a.b.c.d"; empty when it has none
    QString version() const { return m_version; }
    bool hasBorderLine() const { return m_borderLine != nullptr; }

    // One pair into `result`; the record is the HCMMS_RECORD_LENGTH-byte input record, which
    // the library may change. Re-entrant as the library is.
    void calculate(int cmode, char* record, MSCalcResult& result) const;
    // the transmitter of the record against a country's border line; false when the library
    // has no border line
    bool borderLine(const QByteArray& record, const QString& country, double rxHeight,
                    MSBorderResult& result) const;
    // the ITU codes of the countries the library knows; empty when it tells none
    QStringList countries() const;
    // the library's text of an error code; empty when it gives none
    QString codeText(int code) const;

private:
    QLibrary m_library;
    HCMMS_V7_DLL_Function m_calculate = nullptr;
    HCMMS_BORDERLINE_Function m_borderLine = nullptr;
    HCMMS_COUNTRIES_Function m_countries = nullptr;
    HCMMS_ERROR_TEXT_Function m_errorText = nullptr;
    QString m_error;
    QString m_version;
};
