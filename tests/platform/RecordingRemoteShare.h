#pragma once

#include "fakes/FakeNamedStreamReader.h"
#include "platform/posix/RemoteShareAccess.h"

namespace lantrivex::platform::posix {

// Stands for SMB access: records what it is asked, "server|share|rest" (":stream" for a stream),
// and answers with the one stream "remote" and `folderAnswer`.
struct RecordingRemoteShare : RemoteShareAccess {
    RecordingRemoteShare() { streams.addStream("", "", "remote"); }
    std::unique_ptr<ByteStream> openStream(const UncPath& p, std::string_view stream) override {
        asked.push_back(p.server + "|" + p.share + "|" + p.rest + ":" + std::string(stream));
        return streams.open("", "");
    }
    bool folderExists(const UncPath& p) override {
        asked.push_back(p.server + "|" + p.share + "|" + p.rest);
        return folderAnswer;
    }
    bool folderAnswer = true;
    std::vector<std::string> asked;
    fakes::FakeNamedStreamReader streams;
};

} // namespace lantrivex::platform::posix
