#pragma once

// The file version of HCMMS_DLL.so.
namespace MsLibraryVersion {
constexpr unsigned short Parts[4] = {1, 0, 0, 0};
constexpr const char* Text = "1.0.0.0";
} // namespace MsLibraryVersion
