#pragma once

#include "fakes/FakeNamedStreamReader.h"
#include "platform/posix/RemoteShareAccess.h"

#include <string>
#include <vector>

namespace lantrivex::platform::posix {

// Stands for SMB access: records what it is asked, "server|share|rest" (":stream" for a stream),
// and answers with the one stream "remote" and `folderAnswer`.
class RecordingRemoteShare : public RemoteShareAccess {
public:
    RecordingRemoteShare() { streams_.addStream("", "", "remote"); }
    std::unique_ptr<ByteStream> openStream(const UncPath& path,
                                           std::string_view streamName) override {
        asked.push_back(path.server + "|" + path.share + "|" + path.rest + ":" +
                        std::string(streamName));
        return streams_.open("", "");
    }
    bool folderExists(const UncPath& path) override {
        asked.push_back(path.server + "|" + path.share + "|" + path.rest);
        return folderAnswer;
    }

    bool folderAnswer = true;
    std::vector<std::string> asked;

private:
    fakes::FakeNamedStreamReader streams_;
};

} // namespace lantrivex::platform::posix
