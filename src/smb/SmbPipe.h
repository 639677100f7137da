// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// For the files built with libsmbclient only (LANTRIVEX_WITH_SMB).

#include "smb/SmbSession.h"
#include "winreg/WinregClient.h"

#include <memory>
#include <string>
#include <string_view>

namespace lantrivex::smb {

// A named pipe of a server's IPC$ share, opened read-write through the session's context; every
// call holds the session's mutex. Closed when destroyed.
class SmbPipe final : public winreg::RpcPipe {
public:
    // The pipe `name` of `server`; nullptr on failure, with `error` set to the library's errno
    // and `reason` to the logon's own reason when it has one (SmbSession::Logon).
    static std::unique_ptr<SmbPipe> open(std::shared_ptr<SmbSession> session,
                                         const std::string& server, std::string_view name,
                                         int& error, platform::AccessFailure& reason);
    ~SmbPipe() override;
    SmbPipe(const SmbPipe&) = delete;
    SmbPipe& operator=(const SmbPipe&) = delete;

    bool write(std::string_view message) override;
    bool read(std::size_t count, std::string& out) override;

private:
    SmbPipe(std::shared_ptr<SmbSession> session, SMBCFILE* file)
        : session_(std::move(session)), file_(file) {}

    std::shared_ptr<SmbSession> session_;
    SMBCFILE* file_;
};

} // namespace lantrivex::smb
