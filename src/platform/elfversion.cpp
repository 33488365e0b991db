#include "elfversion.h"

#include <QFile>
#include <QStringList>
#include <cstring>

namespace ElfVersion {

namespace {

// Reads fixed-size integers of the file's byte order at given offsets, with bounds checks.
class ElfReader {
public:
    explicit ElfReader(QFile& file) : m_file(file) {}

    bool bytes(qint64 offset, void* out, qint64 size) {
        if (offset < 0 || size < 0 || offset > m_file.size() || size > m_file.size() - offset)
            return false;
        return m_file.seek(offset) && m_file.read(static_cast<char*>(out), size) == size;
    }
    bool uint(qint64 offset, int size, quint64& value) {
        unsigned char b[8];
        if (!bytes(offset, b, size))
            return false;
        value = 0;
        for (int i = 0; i < size; ++i) {
            const int shift = 8 * (m_bigEndian ? size - 1 - i : i);
            value |= quint64(b[i]) << shift;
        }
        return true;
    }
    void setBigEndian(bool big) { m_bigEndian = big; }

private:
    QFile& m_file;
    bool m_bigEndian = false;
};

} // namespace

QString fileVersion(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    ElfReader elf(file);
    unsigned char ident[16];
    if (!elf.bytes(0, ident, 16) || std::memcmp(ident,
                                                "\x7f"
                                                "ELF",
                                                4) != 0)
        return QString();
    const bool wide = ident[4] == 2; // ELFCLASS64
    if (ident[4] != 1 && ident[4] != 2)
        return QString();
    elf.setBigEndian(ident[5] == 2);
    const int word = wide ? 8 : 4;

    // section header table: offset, entry size, count, index of the section-name table
    quint64 shoff = 0, shentsize = 0, shnum = 0, shstrndx = 0;
    if (!elf.uint(wide ? 0x28 : 0x20, word, shoff) || !elf.uint(wide ? 0x3A : 0x2E, 2, shentsize) ||
        !elf.uint(wide ? 0x3C : 0x30, 2, shnum) || !elf.uint(wide ? 0x3E : 0x32, 2, shstrndx))
        return QString();
    if (shnum == 0 || shstrndx >= shnum || shentsize < quint64(wide ? 64 : 40))
        return QString();

    auto section = [&](quint64 index, quint64& nameOffset, quint64& offset, quint64& size) {
        const qint64 at = qint64(shoff + index * shentsize);
        return elf.uint(at, 4, nameOffset) && elf.uint(at + (wide ? 0x18 : 0x10), word, offset) &&
               elf.uint(at + (wide ? 0x20 : 0x14), word, size);
    };
    quint64 unused = 0, namesOffset = 0, namesSize = 0;
    if (!section(shstrndx, unused, namesOffset, namesSize))
        return QString();

    static const char wanted[] = ".hcmversion";
    for (quint64 i = 0; i < shnum; ++i) {
        quint64 nameOffset = 0, offset = 0, size = 0;
        if (!section(i, nameOffset, offset, size))
            return QString();
        if (nameOffset + sizeof wanted > namesSize)
            continue;
        char name[sizeof wanted];
        if (!elf.bytes(qint64(namesOffset + nameOffset), name, sizeof wanted) ||
            std::memcmp(name, wanted, sizeof wanted) != 0)
            continue;
        // four little-endian 16-bit numbers, most significant first
        unsigned char v[8];
        if (size < 8 || !elf.bytes(qint64(offset), v, 8))
            return QString();
        QStringList parts;
        for (int k = 0; k < 4; ++k)
            parts << QString::number(v[2 * k] | (v[2 * k + 1] << 8));
        return parts.join(QLatin1Char('.'));
    }
    return QString();
}

} // namespace ElfVersion
