#pragma once

// Several Qt Test classes in one executable per module: each test file registers its class
// and the shared main runs them all.
#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace TestRegistry {

using Factory = std::function<std::unique_ptr<QObject>()>;

inline std::vector<std::pair<const char*, Factory>>& all() {
    static std::vector<std::pair<const char*, Factory>> list;
    return list;
}

template <class T> struct Registrar {
    explicit Registrar(const char* name) {
        all().emplace_back(name, [] { return std::unique_ptr<QObject>(new T); });
    }
};

} // namespace TestRegistry

#define TARNWELL_TEST(Class) static TestRegistry::Registrar<Class> registrar_##Class(#Class);
