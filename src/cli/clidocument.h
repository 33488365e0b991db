#pragma once

#include "hcmdocument.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

// Loads a file for a command with the loader the editor uses (the document's load job).
class CliDocument {
public:
    explicit CliDocument(SyntaxFlags flags) : m_flags(flags), m_document(&m_flags) {}

    // false, with a message on err, when the file cannot be read
    bool load(const std::string& path, std::ostream& err);

    HCMDocument& document() { return m_document; }
    SyntaxFlags& flags() { return m_flags; }

private:
    SyntaxFlags m_flags;
    HCMDocument m_document;
};

// Splits command arguments into options and operands; "--" ends the options.
struct CliArguments {
    std::vector<std::string> operands;
    std::vector<std::pair<std::string, std::string>> options; // name, value ("" for flags)
    std::string error; // set when an option is unknown or lacks its value

    // valueOptions take a value (as "--name VALUE" or "--name=VALUE"); flagOptions none
    CliArguments(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                 const std::vector<std::string>& flagOptions);
    bool has(const std::string& name) const;
    std::string value(const std::string& name) const;
};
