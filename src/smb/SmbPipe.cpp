// SPDX-License-Identifier: GPL-3.0-or-later
#if defined(LANTRIVEX_WITH_SMB)

#include "smb/SmbPipe.h"

#include "smb/SmbUrl.h"

#include <cerrno>
#include <fcntl.h>

namespace lantrivex::smb {

using namespace lantrivex::platform;

std::unique_ptr<SmbPipe> SmbPipe::open(std::shared_ptr<SmbSession> session,
                                       const std::string& server, std::string_view name, int& error,
                                       AccessFailure& reason) {
    const std::string url =
        buildSmbUrl(UncPath{server, "IPC$", std::string(name)}, session->settings().port);
    SMBCCTX* context = session->context();
    std::lock_guard lock(session->mutex());
    SigpipeGuard guard;
    const SmbSession::Logon logon = session->logOn(server, [&]() -> void* {
        return smbc_getFunctionOpen(context)(context, url.c_str(), O_RDWR, 0);
    });
    auto* file = static_cast<SMBCFILE*>(logon.handle);
    if (file == nullptr) {
        error = logon.error;
        reason = logon.reason;
        return nullptr;
    }
    return std::unique_ptr<SmbPipe>(new SmbPipe(std::move(session), file));
}

SmbPipe::~SmbPipe() {
    std::lock_guard lock(session_->mutex());
    SigpipeGuard guard;
    smbc_getFunctionClose(session_->context())(session_->context(), file_);
}

bool SmbPipe::write(std::string_view message) {
    SMBCCTX* context = session_->context();
    std::lock_guard lock(session_->mutex());
    SigpipeGuard guard;
    while (!message.empty()) {
        const ssize_t put =
            smbc_getFunctionWrite(context)(context, file_, message.data(), message.size());
        if (put <= 0) {
            return false;
        }
        message.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

bool SmbPipe::read(std::size_t count, std::string& out) {
    out.assign(count, '\0');
    SMBCCTX* context = session_->context();
    std::lock_guard lock(session_->mutex());
    SigpipeGuard guard;
    for (std::size_t got = 0; got < count;) {
        const ssize_t n =
            smbc_getFunctionRead(context)(context, file_, out.data() + got, count - got);
        if (n <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace lantrivex::smb

#endif
