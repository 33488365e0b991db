#include "textpack.h"

#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

namespace {

void store32(char* p, uint32_t v) {
    std::memcpy(p, &v, sizeof v);
}
void store16(char* p, uint16_t v) {
    std::memcpy(p, &v, sizeof v);
}

// A new block of the texts; nullptr for none. The texts are copied before anything is freed,
// so they may point into an old block.
char* build(const std::string_view* texts, size_t count) {
    if (count == 0)
        return nullptr;
    size_t chars = 0;
    for (size_t i = 0; i < count; ++i)
        chars += texts[i].size();
    if (chars > std::numeric_limits<uint32_t>::max() ||
        count > (std::numeric_limits<uint32_t>::max() >> 1) - 1)
        throw std::length_error("TextPack: texts too long");
    const bool wide = chars > std::numeric_limits<uint16_t>::max();
    const size_t width = wide ? 4 : 2;
    const size_t offsetBytes = (count + 1) * width;
    char* block = static_cast<char*>(::operator new(sizeof(uint32_t) + offsetBytes + chars));
    store32(block, uint32_t(count << 1) | (wide ? 1u : 0u));
    char* offsets = block + sizeof(uint32_t);
    char* out = offsets + offsetBytes;
    size_t at = 0;
    for (size_t i = 0; i < count; ++i) {
        if (wide)
            store32(offsets + 4 * i, uint32_t(at));
        else
            store16(offsets + 2 * i, uint16_t(at));
        if (!texts[i].empty())
            std::memcpy(out + at, texts[i].data(), texts[i].size());
        at += texts[i].size();
    }
    if (wide)
        store32(offsets + 4 * count, uint32_t(at));
    else
        store16(offsets + 2 * count, uint16_t(at));
    return block;
}

} // namespace

TextPack::TextPack(const TextPack& other) {
    if (other.m_block) {
        const size_t n = other.blockSize();
        m_block = static_cast<char*>(::operator new(n));
        std::memcpy(m_block, other.m_block, n);
    }
}

TextPack& TextPack::operator=(const TextPack& other) {
    if (this != &other)
        *this = TextPack(other);
    return *this;
}

TextPack& TextPack::operator=(TextPack&& other) noexcept {
    if (this != &other) {
        ::operator delete(m_block);
        m_block = other.m_block;
        other.m_block = nullptr;
    }
    return *this;
}

TextPack::~TextPack() {
    ::operator delete(m_block);
}

size_t TextPack::blockSize() const {
    if (!m_block)
        return 0;
    const uint32_t header = load32(m_block);
    const size_t count = header >> 1;
    const char* offsets = m_block + sizeof(uint32_t);
    const size_t chars =
        header & 1 ? load32(offsets + 4 * count) : size_t(load16(offsets + 2 * count));
    return sizeof(uint32_t) + (count + 1) * (header & 1 ? 4 : 2) + chars;
}

void TextPack::assign(const std::string_view* texts, size_t count) {
    char* block = build(texts, count);
    ::operator delete(m_block);
    m_block = block;
}

void TextPack::replace(size_t first, size_t removed, const std::string_view* texts, size_t count) {
    const size_t old = size();
    if (first > old)
        first = old;
    if (removed > old - first)
        removed = old - first;
    std::vector<std::string_view> all;
    all.reserve(old - removed + count);
    for (size_t i = 0; i < first; ++i)
        all.push_back((*this)[i]);
    all.insert(all.end(), texts, texts + count);
    for (size_t i = first + removed; i < old; ++i)
        all.push_back((*this)[i]);
    assign(all.data(), all.size());
}

void TextPack::clear() {
    ::operator delete(m_block);
    m_block = nullptr;
}
