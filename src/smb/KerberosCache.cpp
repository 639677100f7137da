// SPDX-License-Identifier: GPL-3.0-or-later
#include "smb/KerberosCache.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace lantrivex::smb {

namespace {

constexpr std::size_t kMaxCacheFile = 1024 * 1024;
constexpr std::string_view kConfigRealm = "X-CACHECONF:";

// Big-endian fields read with their bounds checked; any read past the end fails the reader.
class Reader {
public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}

    bool ok() const { return ok_; }
    bool atEnd() const { return rest_.empty(); }

    std::uint32_t number(std::size_t width) {
        if (!ok_ || rest_.size() < width) {
            ok_ = false;
            return 0;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            value = (value << 8) | static_cast<unsigned char>(rest_[i]);
        }
        rest_.remove_prefix(width);
        return value;
    }
    std::string_view bytes(std::size_t count) {
        if (!ok_ || rest_.size() < count) {
            ok_ = false;
            return {};
        }
        const std::string_view taken = rest_.substr(0, count);
        rest_.remove_prefix(count);
        return taken;
    }
    // A counted octet string: a 32-bit length, then the bytes.
    std::string_view counted() { return bytes(number(4)); }

    // A principal: name type, component count, realm, components; as "a/b@REALM".
    std::string principal(std::string* realm = nullptr) {
        number(4); // name type
        const std::uint32_t components = number(4);
        const std::string_view realmBytes = counted();
        if (realm != nullptr) {
            *realm = std::string(realmBytes);
        }
        std::string text;
        for (std::uint32_t i = 0; ok_ && i < components; ++i) {
            text += (i == 0 ? "" : "/");
            text += counted();
        }
        return text + "@" + std::string(realmBytes);
    }

private:
    std::string_view rest_;
    bool ok_ = true;
};

KerberosCache judged(KerberosCache::State state, std::string principal = {}) {
    KerberosCache cache;
    cache.state = state;
    cache.principal = std::move(principal);
    return cache;
}

} // namespace

KerberosCache parseKerberosCache(std::string_view bytes, std::int64_t now) {
    using State = KerberosCache::State;
    Reader in(bytes);
    const std::uint32_t version = in.number(2);
    if (!in.ok() || (version >> 8) != 0x05 || version < 0x0501 || version > 0x0504) {
        return judged(State::Corrupt);
    }
    if (version < 0x0503) {
        return judged(State::Opaque); // host byte order, and other principal forms
    }
    std::int64_t offset = 0;
    if (version == 0x0504) {
        Reader header(in.bytes(in.number(2)));
        while (in.ok() && header.ok() && !header.atEnd()) {
            const std::uint32_t tag = header.number(2);
            Reader field(header.bytes(header.number(2)));
            if (tag == 1) { // the KDC's clock less ours: seconds, microseconds
                offset = static_cast<std::int32_t>(field.number(4));
            }
        }
        if (!header.ok()) {
            return judged(State::Corrupt);
        }
    }
    const std::string principal = in.principal();
    if (!in.ok()) {
        return judged(State::Corrupt);
    }
    bool anyTicket = false;
    bool anyValid = false;
    while (!in.atEnd()) {
        std::string serverRealm;
        in.principal();             // client
        in.principal(&serverRealm); // server
        in.number(2);               // key type
        if (version == 0x0503) {
            in.number(2); // written twice in this version
        }
        in.counted(); // key
        in.number(4); // auth time
        in.number(4); // start time
        const std::uint32_t end = in.number(4);
        in.number(4);                                                        // renew until
        in.number(1);                                                        // is_skey
        in.number(4);                                                        // flags
        for (std::uint32_t n = in.number(4), i = 0; in.ok() && i < n; ++i) { // addresses
            in.number(2);
            in.counted();
        }
        for (std::uint32_t n = in.number(4), i = 0; in.ok() && i < n; ++i) { // authorization data
            in.number(2);
            in.counted();
        }
        in.counted(); // ticket
        in.counted(); // second ticket
        if (!in.ok()) {
            return judged(State::Corrupt, principal);
        }
        if (serverRealm != kConfigRealm) {
            anyTicket = true;
            anyValid = anyValid || static_cast<std::int64_t>(end) > now + offset;
        }
    }
    return judged(anyValid ? State::Usable : anyTicket ? State::Expired : State::Empty, principal);
}

KerberosCache findKerberosCache(const std::function<const char*(const char*)>& lookup, unsigned uid,
                                std::int64_t now) {
    KerberosCache cache;
    std::string path;
    const char* name = lookup("KRB5CCNAME");
    if (name != nullptr && *name != '\0') {
        const std::string_view text(name);
        const auto colon = text.find(':');
        if (colon == std::string_view::npos) {
            path = text;
        } else if (text.substr(0, colon) == "FILE") {
            path = text.substr(colon + 1);
        } else {
            cache.state = KerberosCache::State::Opaque;
            cache.name = text;
            return cache;
        }
    } else {
        path = "/tmp/krb5cc_";
        path += std::to_string(uid);
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        cache.state = errno == ENOENT ? KerberosCache::State::None : KerberosCache::State::Opaque;
    } else {
        std::string bytes(kMaxCacheFile + 1, '\0');
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                got = n < 0 ? bytes.size() : got; // an error reads as too large: Opaque
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        ::close(fd);
        bytes.resize(got);
        cache = got > kMaxCacheFile ? KerberosCache{KerberosCache::State::Opaque, {}, {}}
                                    : parseKerberosCache(bytes, now);
    }
    cache.name = "FILE:" + path;
    return cache;
}

} // namespace lantrivex::smb
