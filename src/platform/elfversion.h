#pragma once

// The file version of a calculation library: an ELF section named ".hcmversion" holding four
// little-endian 16-bit numbers, most significant first. Read from the file without loading it.

#include <QString>

namespace ElfVersion {

// "a.b.c.d", or an empty text when the file does not exist, is not an ELF file or has no
// such section
QString fileVersion(const QString& path);

} // namespace ElfVersion
