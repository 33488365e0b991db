#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// tarnwell-cli ms dump|check|convert|validate: HCM MS files read and written exactly as the
// editor reads and writes them (XML when the name ends in ".xml", else the text format).
class MsCommand {
public:
    int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

private:
    int dump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    int check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    int convert(const std::vector<std::string>& args, std::ostream& err);
    int validate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};
