#include "linesplitter.h"

#include <algorithm>
#include <cstring>

namespace {

std::size_t findFrom(std::string_view text, std::size_t pos, char c) {
    if (pos >= text.size())
        return std::string_view::npos;
    const void* found = std::memchr(text.data() + pos, c, text.size() - pos);
    return found ? std::size_t(static_cast<const char*>(found) - text.data())
                 : std::string_view::npos;
}

} // namespace

bool LineSplitter::next(std::string_view& line, bool& terminated) {
    if (m_done)
        return false;
    // each search runs once per line end of its own kind, so a CR-only text is not searched
    // for LFs again and again
    if (!m_crValid || (m_cr != std::string_view::npos && m_cr < m_pos)) {
        m_cr = findFrom(m_text, m_pos, '\r');
        m_crValid = true;
    }
    if (!m_lfValid || (m_lf != std::string_view::npos && m_lf < m_pos)) {
        m_lf = findFrom(m_text, m_pos, '\n');
        m_lfValid = true;
    }
    const std::size_t end = std::min(m_cr, m_lf);
    if (end == std::string_view::npos) {
        line = m_text.substr(m_pos);
        terminated = false;
        m_pos = m_text.size();
        m_done = true;
        return true;
    }
    line = m_text.substr(m_pos, end - m_pos);
    terminated = true;
    std::size_t length = 1;
    if (end + 1 < m_text.size()) {
        const char c = m_text[end], d = m_text[end + 1];
        if ((c == '\r' && d == '\n') || (c == '\n' && d == '\r'))
            length = 2;
    }
    m_pos = end + length;
    return true;
}
