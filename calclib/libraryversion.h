#pragma once

// The file version of HCMFS_DLL.so, newer than 2.0.9.9, so that the program hands it an empty
// data path.
namespace LibraryVersion {
constexpr unsigned short Parts[4] = {2, 2, 0, 0};
constexpr const char* Text = "2.2.0.0";
} // namespace LibraryVersion
