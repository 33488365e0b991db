#pragma once

#include "hcmantenna.h"
#include "syntaxflags.h"
#include "textpack.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One station of an FS file. Every field is kept as text in file order; 0A, 1A1 and 9D also
// keep a decoded value. Field 4C is held as two texts, longitude and latitude. The record's
// own texts are packed in one block (TextPack), the antenna texts and each pattern in blocks of
// their own; a text read is a view, valid until the next change of the record.
class HCMRecord {
public:
    // The texts of a record in file order (4C split), then the five antenna texts.
    enum Field {
        F0A,
        F1A,
        F1A1,
        F1Z,
        F6A,
        F6B,
        F6Z,
        F2C,
        F4A,
        F4B,
        FLongitude,
        FLatitude,
        F4Z,
        F7A,
        F7H,
        F7I,
        F7K,
        F7GF1,
        F7GA1,
        F7GF2,
        F7GA2,
        F7GF3,
        F7GA3,
        F7GF4,
        F7GA4,
        F7GF5,
        F7GA5,
        F7GF6,
        F7GA6,
        F7G1,
        F7G2,
        F7G3,
        F8B,
        F8B3,
        F9A,
        F9B,
        F9D,
        F9H,
        F9L,
        F9Y,
        F13Z,
        F13Y,
        F2W,
        F2Z,
        F13X,
        F9XM,
        F9XT,
        F9XFL,
        F9XFU,
        F9X1,
        FieldCount
    };
    static constexpr int OwnFieldCount =
        F9XM; // fields of the record itself, the rest are the antenna's

    enum EntryTypeValue { TX = 1, RX = 2, PTX = 3, PRX = 4, UnknownEntry = 5 };
    enum FrequencyUnitValue { KHz = 0, MHz = 1, GHz = 2, UnknownUnit = 3 };
    enum PolarizationValue { Vertical = 0, Horizontal = 1, UnknownPolarization = 2 };

    explicit HCMRecord(SyntaxFlags* flags = nullptr);
    // deep copies: texts, antenna and pattern points
    HCMRecord(const HCMRecord& other);
    HCMRecord& operator=(const HCMRecord& other);
    HCMRecord(HCMRecord&&) noexcept = default;
    HCMRecord& operator=(HCMRecord&&) noexcept = default;
    ~HCMRecord();

    // the field code ("0A", "4C", "7GF1", "9X1") and the editor's label
    static const char* fieldCode(Field f);
    static const char* fieldLabel(Field f);

    std::string_view text(Field f) const {
        if (f < OwnFieldCount)
            return m_texts[size_t(f)];
        return m_antenna ? m_antenna->text(HCMAntenna::Text(f - OwnFieldCount))
                         : std::string_view();
    }
    // Record fields are stored without leading and trailing blanks, CR, LF and tabs; the
    // antenna fields 9XM..9X1 are stored as given.
    void setText(Field f, std::string_view v);

#define HCM_RECORD_FIELD(NAME, F)                                                                  \
    std::string_view get##NAME() const {                                                           \
        return text(F);                                                                            \
    }                                                                                              \
    void set##NAME(std::string_view v) {                                                           \
        setText(F, v);                                                                             \
    }                                                                                              \
    int check##NAME() const {                                                                      \
        return checkField(F);                                                                      \
    }
    HCM_RECORD_FIELD(0A, F0A)
    HCM_RECORD_FIELD(1A, F1A)
    HCM_RECORD_FIELD(1A1, F1A1)
    HCM_RECORD_FIELD(1Z, F1Z)
    HCM_RECORD_FIELD(6A, F6A)
    HCM_RECORD_FIELD(6B, F6B)
    HCM_RECORD_FIELD(6Z, F6Z)
    HCM_RECORD_FIELD(2C, F2C)
    HCM_RECORD_FIELD(4A, F4A)
    HCM_RECORD_FIELD(4B, F4B)
    HCM_RECORD_FIELD(Longitude, FLongitude)
    HCM_RECORD_FIELD(Latitude, FLatitude)
    HCM_RECORD_FIELD(4Z, F4Z)
    HCM_RECORD_FIELD(7A, F7A)
    HCM_RECORD_FIELD(7H, F7H)
    HCM_RECORD_FIELD(7I, F7I)
    HCM_RECORD_FIELD(7K, F7K)
    HCM_RECORD_FIELD(7G1, F7G1)
    HCM_RECORD_FIELD(7G2, F7G2)
    HCM_RECORD_FIELD(7G3, F7G3)
    HCM_RECORD_FIELD(8B, F8B)
    HCM_RECORD_FIELD(8B3, F8B3)
    HCM_RECORD_FIELD(9A, F9A)
    HCM_RECORD_FIELD(9B, F9B)
    HCM_RECORD_FIELD(9D, F9D)
    HCM_RECORD_FIELD(9H, F9H)
    HCM_RECORD_FIELD(9L, F9L)
    HCM_RECORD_FIELD(9Y, F9Y)
    HCM_RECORD_FIELD(13Z, F13Z)
    HCM_RECORD_FIELD(13Y, F13Y)
    HCM_RECORD_FIELD(2W, F2W)
    HCM_RECORD_FIELD(2Z, F2Z)
    HCM_RECORD_FIELD(13X, F13X)
    HCM_RECORD_FIELD(9XM, F9XM)
    HCM_RECORD_FIELD(9XT, F9XT)
    HCM_RECORD_FIELD(9XFL, F9XFL)
    HCM_RECORD_FIELD(9XFU, F9XFU)
    HCM_RECORD_FIELD(9X1, F9X1)
#undef HCM_RECORD_FIELD

    // mask point i = 1..6
    std::string_view get7GF(int i) const {
        return text(maskFrequency(i));
    }
    void set7GF(int i, std::string_view v) {
        setText(maskFrequency(i), v);
    }
    int check7GF(int i) const {
        return checkField(maskFrequency(i));
    }
    std::string_view get7GA(int i) const {
        return text(maskAttenuation(i));
    }
    void set7GA(int i, std::string_view v) {
        setText(maskAttenuation(i), v);
    }
    int check7GA(int i) const {
        return checkField(maskAttenuation(i));
    }
    static Field maskFrequency(int i) {
        return Field(F7GF1 + 2 * (i - 1));
    }
    static Field maskAttenuation(int i) {
        return Field(F7GA1 + 2 * (i - 1));
    }

    // Field 4C as in the file: up to 8 characters it is the longitude alone (the latitude
    // stays), otherwise the first 8 characters are the longitude and the rest the latitude.
    void set4C(std::string_view v);
    std::string get4C() const;

    int entryType() const {
        return m_entryType;
    }
    // The type of entry a 0A text stands for: "TX", "RX", "PTX" or "PRX" in any letter case,
    // blanks around it allowed; anything else (also "TXX") is UnknownEntry. The one definition
    // of a line's type for the editor, the checker and the calculations.
    static int entryTypeOf(std::string_view text);
    int frequencyUnit() const {
        return m_frequencyUnit;
    }
    int polarization() const {
        return m_polarization;
    }
    // 1A in GHz, -1 when the unit is unknown or 1A is not a number
    double frequencyGHz() const;
    // 1A in GHz by its unit 1A1; false when 1A is not a number or the unit is unknown
    bool frequencyGHz(double& ghz) const;

    HCMAntenna& antenna();
    // A record that holds no text yet (a blank line) has no antenna of its own: it shows an
    // empty one of this thread, bound to the record's options. Read it at once; the next
    // such record of the thread shows the same object.
    const HCMAntenna& antenna() const;

    void setSyntaxFlags(SyntaxFlags* flags);
    SyntaxFlags* syntaxFlags() const {
        return m_flags;
    }

    // 0 or a message code; the fields read before a failure keep their values
    int parseLine(std::string_view line);
    std::string toLine() const;
    void appendLine(std::string& out) const;

    // the check of one field: 0 or the first code that applies
    int checkField(Field f) const;
    // every non-zero code of the record in report order
    std::vector<int> checkRecord() const;
    void checkRecord(std::vector<int>& codes) const;

private:
    int tooShortCode() const;
    int parsePatterns(std::string_view line, size_t pos);
    bool isPlanned() const {
        return m_entryType == PTX || m_entryType == PRX;
    }
    bool skipped() const;
    int checkFrequency() const;
    int checkMaskFrequency(int i) const;
    int checkMaskAttenuation(int i) const;
    bool anyOtherMaskText(Field self) const;

    void decode(Field f, std::string_view v);

    // The own texts F0A..F13X, packed when the first of them is set, and the antenna, made
    // when the first antenna text or pattern is set: a blank line of a file holds neither.
    TextPack m_texts;
    std::unique_ptr<HCMAntenna> m_antenna;
    int m_entryType = UnknownEntry;
    int m_frequencyUnit = UnknownUnit;
    int m_polarization = UnknownPolarization;
    SyntaxFlags* m_flags;
};
