#pragma once

// What the implementation files of the FS editor window share: text conversion between the
// widgets and the file bytes, a scoped flag, and the sizes of its jobs' steps.

#include "hcmrecord.h"

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

namespace EditorText {

// a job stops within this many rows of a Cancel
constexpr int kCancelStep = 128;
// saved text goes to the file in pieces of about this size
constexpr size_t kWriteChunk = size_t(1) << 20;

inline bool isMaskField(HCMRecord::Field field) {
    return field >= HCMRecord::F7GF1 && field <= HCMRecord::F7GA6;
}

inline QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// the widget text as file bytes, one byte per character
struct Latin1 {
    explicit Latin1(const QString& text) : bytes(text.toLatin1()) {}
    operator std::string_view() const { return {bytes.constData(), size_t(bytes.size())}; }
    QByteArray bytes;
};

// Sets a flag for the lifetime of a scope and restores the earlier value.
class FlagScope {
public:
    FlagScope(bool& flag, bool value) : m_flag(flag), m_old(flag) { m_flag = value; }
    ~FlagScope() { m_flag = m_old; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
    bool m_old;
};

} // namespace EditorText
