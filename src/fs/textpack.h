#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// A fixed row of texts kept back to back in one heap block:
//
//   uint32 header (count << 1 | wide) | count + 1 start offsets | the characters
//
// The offsets are 16 bits wide while all the texts together fit in 65535 characters, 32 bits
// otherwise. No texts at all is no block. Reading a text is two offsets; every change builds
// a new block, so a view read before a change must not be used after it.
class TextPack {
public:
    TextPack() noexcept = default;
    TextPack(const TextPack& other);
    TextPack& operator=(const TextPack& other);
    TextPack(TextPack&& other) noexcept : m_block(other.m_block) { other.m_block = nullptr; }
    TextPack& operator=(TextPack&& other) noexcept;
    ~TextPack();

    size_t size() const { return m_block ? load32(m_block) >> 1 : 0; }
    bool empty() const { return !m_block; }

    // text i; empty past the end
    std::string_view operator[](size_t i) const {
        if (!m_block)
            return {};
        const uint32_t header = load32(m_block);
        const size_t count = header >> 1;
        if (i >= count)
            return {};
        const char* offsets = m_block + sizeof(uint32_t);
        size_t begin, end;
        if (header & 1) {
            begin = load32(offsets + 4 * i);
            end = load32(offsets + 4 * (i + 1));
            return {offsets + 4 * (count + 1) + begin, end - begin};
        }
        begin = load16(offsets + 2 * i);
        end = load16(offsets + 2 * (i + 1));
        return {offsets + 2 * (count + 1) + begin, end - begin};
    }

    // The texts of the pack become the given ones, which may be views into this pack.
    void assign(const std::string_view* texts, size_t count);
    // Texts first .. first + removed - 1 are replaced by the given ones (views into this pack
    // allowed); first is at most size().
    void replace(size_t first, size_t removed, const std::string_view* texts, size_t count);
    void set(size_t i, std::string_view text) { replace(i, 1, &text, 1); }
    void clear();

    // the heap bytes of the block
    size_t blockSize() const;

private:
    static uint32_t load32(const char* p) {
        uint32_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    static uint16_t load16(const char* p) {
        uint16_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }

    char* m_block = nullptr;
};
