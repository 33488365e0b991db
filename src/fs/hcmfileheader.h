#pragma once

#include "syntaxflags.h"

#include <string>
#include <string_view>
#include <vector>

// The optional first line of an FS file: ten texts, stored exactly as given.
class HCMFileHeader {
public:
    enum Field {
        FileNumber,
        FileContents,
        FileContentsCode,
        Country,
        ResponsiblePerson,
        Phone,
        Telefax,
        EMail,
        NumberOfRecords,
        WritingDate,
        FieldCount
    };

    explicit HCMFileHeader(SyntaxFlags* flags = nullptr) : m_flags(flags) {}

    const std::string& text(Field f) const { return m_text[f]; }
    void setText(Field f, std::string_view v) { m_text[f].assign(v); }

#define HCM_HEADER_FIELD(NAME)                                                                     \
    const std::string& get##NAME() const {                                                         \
        return m_text[NAME];                                                                       \
    }                                                                                              \
    void set##NAME(std::string_view v) {                                                           \
        setText(NAME, v);                                                                          \
    }
    HCM_HEADER_FIELD(FileNumber)
    HCM_HEADER_FIELD(FileContents)
    HCM_HEADER_FIELD(FileContentsCode)
    HCM_HEADER_FIELD(Country)
    HCM_HEADER_FIELD(ResponsiblePerson)
    HCM_HEADER_FIELD(Phone)
    HCM_HEADER_FIELD(Telefax)
    HCM_HEADER_FIELD(EMail)
    HCM_HEADER_FIELD(NumberOfRecords)
    HCM_HEADER_FIELD(WritingDate)
#undef HCM_HEADER_FIELD

    void clear();

    // the actual number of records of the document, kept up to date by the document
    int actualRecordCount() const {
        return m_actualCount;
    }
    void setActualRecordCount(int n) {
        m_actualCount = n;
    }

    void setSyntaxFlags(SyntaxFlags* flags) {
        m_flags = flags;
    }
    SyntaxFlags* syntaxFlags() const {
        return m_flags;
    }

    // 0, 145 (too few fields) or 146 (too many); fields split so far keep their values
    int parseLine(std::string_view line);
    std::string toLine() const;

    // 0 or the first code of one field's rule
    int checkField(Field f, int actualCount) const;
    // every non-zero code, one per field, in report order
    std::vector<int> checkHeader(int actualCount) const;

private:
    std::string m_text[FieldCount];
    int m_actualCount = 0;
    SyntaxFlags* m_flags;
};
