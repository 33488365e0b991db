#pragma once

#include <string>
#include <vector>

// The syntax report of a file: one item for the header and one per record that has codes,
// each listing the error texts and then the warning texts, with the counts of both.
class SyntaxReport {
public:
    struct Item {
        int recordNo; // -1 for the header
        std::string text;
    };

    // title + "\n" + "Errors:\n" + error texts + "Warnings:\n" + warning texts, each text
    // followed by "\n"
    static std::string itemText(const std::string& title, const std::vector<int>& codes);

    // "HEADER: " item; nothing when there are no codes
    void addHeader(const std::vector<int>& codes);
    // "RECORD NO: " item; nothing when there are no codes
    void addRecord(int recordNo, const std::vector<int>& codes);
    void clear();

    const std::vector<Item>& items() const { return m_items; }
    int errorCount() const { return m_errors; }
    int warningCount() const { return m_warnings; }

private:
    void add(int recordNo, const std::string& title, const std::vector<int>& codes);

    std::vector<Item> m_items;
    int m_errors = 0;
    int m_warnings = 0;
};
