// SPDX-License-Identifier: GPL-3.0-or-later
// Kerberos credentials caches: whatever the bytes, the reading ends within them, and its verdict
// follows the clock: a cache usable at some time is usable at every earlier one, none is usable
// past the last time a ticket can carry, and a cache judged by its tickets names its principal.

#include "FuzzSupport.h"
#include "smb/KerberosCache.h"

using namespace lantrivex::smb;
using State = KerberosCache::State;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = lantrivex::fuzz::asText(data, size);
    const KerberosCache now = parseKerberosCache(bytes, 1'800'000'000);
    const KerberosCache early = parseKerberosCache(bytes, 0);
    const KerberosCache late = parseKerberosCache(bytes, std::int64_t{1} << 40);
    LANTRIVEX_FUZZ_CHECK(now.state != State::Usable || early.state == State::Usable);
    LANTRIVEX_FUZZ_CHECK(late.state != State::Usable);
    LANTRIVEX_FUZZ_CHECK((now.state == State::Corrupt) == (late.state == State::Corrupt));
    if (now.state == State::Usable || now.state == State::Expired || now.state == State::Empty) {
        LANTRIVEX_FUZZ_CHECK(now.principal.find('@') != std::string::npos);
    }
    return 0;
}
