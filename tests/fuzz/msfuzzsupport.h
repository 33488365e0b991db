#pragma once

#include "fuzzsupport.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace FuzzSupport {

// stops the run with two texts that should have been equal
[[noreturn]] inline void fail(const char* what, const QString& a, const QString& b) {
    const QByteArray first = a.toUtf8();
    const QByteArray second = b.toUtf8();
    std::fprintf(stderr, "%s\n  first:  \"%s\"\n  second: \"%s\"\n", what,
                 escaped(std::string(first.constData(), first.size())).c_str(),
                 escaped(std::string(second.constData(), second.size())).c_str());
    std::abort();
}

} // namespace FuzzSupport
