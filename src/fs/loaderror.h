#pragma once

// A problem found while reading a file: the 0-based line index (the header line counts)
// and a message code. A file that cannot be read is recorded as (-1, -1).
struct LoadError {
    int line = 0;
    int code = 0;
    bool operator==(const LoadError& o) const { return line == o.line && code == o.code; }
};
