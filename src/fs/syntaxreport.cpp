#include "syntaxreport.h"

#include "syntaxcheck.h"

std::string SyntaxReport::itemText(const std::string& title, const std::vector<int>& codes) {
    std::string text = title + "\n" + "Errors:\n";
    for (const int c : codes)
        if (SyntaxCheck::isError(c))
            text.append(SyntaxCheck::messageText(c)).append("\n");
    text += "Warnings:\n";
    for (const int c : codes)
        if (!SyntaxCheck::isError(c))
            text.append(SyntaxCheck::messageText(c)).append("\n");
    return text;
}

void SyntaxReport::add(int recordNo, const std::string& title, const std::vector<int>& codes) {
    if (codes.empty())
        return;
    m_items.push_back({recordNo, itemText(title, codes)});
    for (const int c : codes)
        ++(SyntaxCheck::isError(c) ? m_errors : m_warnings);
}

void SyntaxReport::addHeader(const std::vector<int>& codes) {
    add(-1, "HEADER: ", codes);
}

void SyntaxReport::addRecord(int recordNo, const std::vector<int>& codes) {
    add(recordNo, "RECORD NO: " + std::to_string(recordNo), codes);
}

void SyntaxReport::clear() {
    m_items.clear();
    m_errors = m_warnings = 0;
}
