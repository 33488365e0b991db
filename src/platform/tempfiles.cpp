#include "tempfiles.h"

#include <QFile>

#include <array>
#include <atomic>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace TempFiles {

namespace {

// A fixed table: a signal handler may not allocate or take locks. A place is claimed by its
// state going from free to writing; it counts once its path is complete.
enum State { Free, Writing, Ready };
struct Place {
    std::atomic<int> state{Free};
    char path[PATH_MAX];
};
std::array<Place, 32>& places() {
    static std::array<Place, 32> table;
    return table;
}

} // namespace

int add(const QString& path) {
    return add(QFile::encodeName(path));
}

int add(const QByteArray& name) {
    if (name.isEmpty() || name.size() >= PATH_MAX)
        return -1;
    std::array<Place, 32>& table = places();
    for (int i = 0; i < int(table.size()); ++i) {
        int expected = Free;
        if (!table[size_t(i)].state.compare_exchange_strong(expected, Writing))
            continue;
        std::memcpy(table[size_t(i)].path, name.constData(), size_t(name.size()) + 1);
        table[size_t(i)].state.store(Ready);
        return i;
    }
    return -1;
}

void remove(int id) {
    if (id >= 0 && id < int(places().size()))
        places()[size_t(id)].state.store(Free);
}

void removeAll() {
    for (Place& place : places())
        if (place.state.load() == Ready)
            ::unlink(place.path);
}

} // namespace TempFiles
