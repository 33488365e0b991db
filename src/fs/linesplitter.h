#pragma once

#include <cstddef>
#include <string_view>

// Cuts a text into lines. Every line ends at its own line end: "\r\n", "\n\r", "\n" or "\r",
// whichever comes first, so a file that mixes styles (one CRLF line in an LF file, a stray CR)
// still gives one line per line. A text with one consistent style gives the lines it always
// gave. The loader and the calculation runs read their lines through this one class.
class LineSplitter {
public:
    explicit LineSplitter(std::string_view text) : m_text(text) {}

    // The next line without its line end; false once the text is used up. The last line of a
    // text without a final line end is returned with `terminated` false; an empty rest after
    // the last line end is returned once, empty and not terminated.
    bool next(std::string_view& line, bool& terminated);
    // where the next line starts
    std::size_t offset() const { return m_pos; }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    bool m_done = false;
    // the next CR and LF at or after m_pos, found once and reused (npos: none left)
    std::size_t m_cr = 0, m_lf = 0;
    bool m_crValid = false, m_lfValid = false;
};
