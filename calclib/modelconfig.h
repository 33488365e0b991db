#pragma once

#include "p452model.h"

#include <cstdint>
#include <string>
#include <string_view>

// The model's configuration file "hcmfs-model.ini" in the data folder: the time percentage,
// the refractivity and the atmosphere of the propagation model, each optional (README.md).
namespace ModelConfig {

constexpr const char* FileName = "hcmfs-model.ini";
constexpr std::int64_t MaxFileBytes = 65536;

enum class State {
    NoFolder, // no data path and no home folder: the defaults
    Absent,   // the file does not exist: the defaults
    Read,     // read without a problem
    Invalid,  // code 14
};

struct Loaded {
    State state = State::NoFolder;
    std::string path; // the file, empty without a folder
    P452Model::Parameters parameters;
    std::string problem; // "hcmfs-model.ini line N: ..." when invalid
};

// The file for the data path given to HCMFS_V2: in that folder when it is not empty, else in
// the program's data folder ($XDG_DATA_HOME/tarnwell, or ~/.local/share/tarnwell). Empty when
// there is no folder.
std::string filePath(std::string_view dataPath);

// Reads the text of the file into `parameters` (keys not given keep what they hold). False with
// `problem` ("line N: ...") when a line is not valid.
bool parse(std::string_view text, P452Model::Parameters& parameters, std::string& problem);

// Reads the file at `path` (empty: no folder).
Loaded load(const std::string& path);

// What stat() tells of the file, to see whether it changed since it was read.
struct Stamp {
    bool exists = false;
    std::int64_t size = 0;
    std::int64_t modifiedSec = 0;
    std::int64_t modifiedNsec = 0;
    std::uint64_t inode = 0;
    bool operator==(const Stamp& o) const {
        return exists == o.exists && size == o.size && modifiedSec == o.modifiedSec &&
               modifiedNsec == o.modifiedNsec && inode == o.inode;
    }
    bool operator!=(const Stamp& o) const { return !(*this == o); }
};
Stamp stamp(const std::string& path);

// the parameters as the same bits (a change drops every value calculated with the old ones)
bool sameParameters(const P452Model::Parameters& a, const P452Model::Parameters& b);

} // namespace ModelConfig
