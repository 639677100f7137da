#pragma once

#include <string_view>

namespace lantrivex::platform {

// Tells whether a folder exists and can be reached (a directory search on it can be started).
class FolderProbe {
public:
    virtual ~FolderProbe() = default;

    // `path` in Windows form or local form, UTF-8, as for NamedStreamReader.
    virtual bool folderExists(std::string_view path) = 0;
};

} // namespace lantrivex::platform
