// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace lantrivex::platform {

// Tells whether a folder exists and can be reached (a directory search on it can be started).
class FolderProbe {
public:
    virtual ~FolderProbe() = default;

    // `path` in Windows form or local form, UTF-8, as for NamedStreamReader.
    virtual bool folderExists(std::string_view path) = 0;

    // A run of tests made together, such as the folders of one catalogue rebuild: between
    // beginSeries() and endSeries() the provider may answer from one look at what the answers
    // depend on (on POSIX, one reading of the mount table) instead of looking again each time.
    virtual void beginSeries() {}
    virtual void endSeries() {}
};

// beginSeries() and endSeries() of a probe around a scope.
class FolderProbeSeries {
public:
    explicit FolderProbeSeries(FolderProbe& probe) : probe_(probe) { probe_.beginSeries(); }
    ~FolderProbeSeries() { probe_.endSeries(); }
    FolderProbeSeries(const FolderProbeSeries&) = delete;
    FolderProbeSeries& operator=(const FolderProbeSeries&) = delete;

private:
    FolderProbe& probe_;
};

} // namespace lantrivex::platform
