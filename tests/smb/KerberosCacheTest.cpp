// SPDX-License-Identifier: GPL-3.0-or-later
// The reading of Kerberos credentials caches, and the order of the logons offered to a server.

#include "smb/KerberosCache.h"

#include "platform/TempFolder.h"
#include "smb/KerberosCacheBytes.h"
#include "smb/SmbLogon.h"

#include <gtest/gtest.h>

namespace lantrivex::smb {
using namespace lantrivex::platform;
using platform::posix::TempFolder;
namespace {

using State = KerberosCache::State;
using test::CachedTicket;
using test::kerberosCacheBytes;

constexpr std::int64_t kNow = 1'800'000'000;
constexpr std::uint32_t kLater = kNow + 3600;
constexpr std::uint32_t kEarlier = kNow - 1;

TEST(KerberosCache, JudgedByItsTicketsEndTimesAndBounds) {
    const std::string usable = kerberosCacheBytes({{"krbtgt", "LANTRIVEX.TEST", kLater}});
    std::string hugeCount = kerberosCacheBytes({});
    hugeCount.replace(2 + 2 + 12 + 4, 4, "\xff\xff\xff\xff"); // the principal's component count
    const struct {
        const char* what;
        std::string bytes;
        State state;
    } cases[]{
        {"a valid ticket", usable, State::Usable},
        {"version 0x0503", kerberosCacheBytes({{"krbtgt", "R", kLater}}, 0x0503), State::Usable},
        {"an expired ticket", kerberosCacheBytes({{"krbtgt", "R", kEarlier}}), State::Expired},
        {"an expired TGT, a valid service ticket",
         kerberosCacheBytes({{"krbtgt", "R", kEarlier}, {"cifs", "R", kLater}}), State::Usable},
        {"the KDC's clock ahead past the end",
         kerberosCacheBytes({{"krbtgt", "R", kNow + 10}}, 0x0504, 20), State::Expired},
        {"no ticket", kerberosCacheBytes({}), State::Empty},
        {"only configuration", kerberosCacheBytes({{"fast_avail", "X-CACHECONF:", kLater}}),
         State::Empty},
        {"cut inside a ticket", usable.substr(0, usable.size() - 5), State::Corrupt},
        {"cut inside the principal", usable.substr(0, 20), State::Corrupt},
        {"a huge component count", hugeCount, State::Corrupt},
        {"not a cache", "hello, world", State::Corrupt},
        {"nothing", "", State::Corrupt},
        {"an old version", std::string("\x05\x02", 2) + "rest", State::Opaque},
    };
    for (const auto& c : cases) {
        const KerberosCache cache = parseKerberosCache(c.bytes, kNow);
        EXPECT_EQ(cache.state, c.state) << c.what;
        if (c.state == State::Usable || c.state == State::Expired) {
            EXPECT_EQ(cache.principal, "alice@LANTRIVEX.TEST") << c.what;
        }
    }
}

TEST(KerberosCache, FoundByItsNameOrTheDefaultFile) {
    TempFolder folder;
    folder.write("cc", kerberosCacheBytes({{"krbtgt", "R", kLater}}));
    const std::string file = folder.file("cc");
    const struct {
        const char* krb5ccname;
        State state;
        std::string name;
    } cases[]{
        {"KEYRING:persistent:1000", State::Opaque, "KEYRING:persistent:1000"},
        {"KCM:", State::Opaque, "KCM:"},
        {nullptr, State::None, "FILE:/tmp/krb5cc_4000000123"},
        {"FILE:/nonexistent/cc", State::None, "FILE:/nonexistent/cc"},
    };
    for (const auto& c : cases) {
        const auto lookup = [&](const char*) { return c.krb5ccname; };
        const KerberosCache cache = findKerberosCache(lookup, 4000000123U, kNow);
        EXPECT_EQ(cache.state, c.state) << (c.krb5ccname ? c.krb5ccname : "unset");
        EXPECT_EQ(cache.name, c.name);
    }
    for (const std::string& name : {"FILE:" + file, file}) {
        const KerberosCache cache =
            findKerberosCache([&](const char*) { return name.c_str(); }, 0, kNow);
        EXPECT_EQ(cache.state, State::Usable) << name;
        EXPECT_EQ(cache.name, "FILE:" + file);
        EXPECT_EQ(cache.principal, "alice@LANTRIVEX.TEST");
    }
}

TEST(SmbLogon, TicketFirstThenAccountGuestOnlyWithNeither) {
    using M = SmbLogonMethod;
    using F = AccessFailure;
    const struct {
        State ticket;
        bool account, address;
        std::vector<M> attempts;
        F problem;
    } cases[]{
        {State::Usable, false, false, {M::Kerberos}, F::None},
        {State::Usable, true, false, {M::Kerberos, M::Account}, F::None},
        {State::Opaque, false, false, {M::Kerberos}, F::None},
        {State::Usable, true, true, {M::Account}, F::KerberosNeedsName},
        {State::Usable, false, true, {}, F::KerberosNeedsName},
        {State::Empty, true, false, {M::Account}, F::TicketCacheEmpty},
        {State::Empty, false, false, {}, F::TicketCacheEmpty},
        {State::Corrupt, false, false, {}, F::TicketCacheCorrupt},
        {State::Expired, false, true, {}, F::TicketExpired},
        {State::None, true, false, {M::Account}, F::None},
        {State::None, false, true, {M::Guest}, F::None},
    };
    for (const auto& c : cases) {
        const SmbLogonPlan plan = planSmbLogon(c.ticket, c.account, c.address);
        EXPECT_EQ(plan.attempts, c.attempts)
            << static_cast<int>(c.ticket) << c.account << c.address;
        EXPECT_EQ(plan.kerberosProblem, c.problem) << static_cast<int>(c.ticket) << c.account;
    }
}

TEST(SmbLogon, AddressesAreToldFromNames) {
    for (const char* address : {"192.168.1.20", "::1", "[fe80::1]", "2001:db8::5"}) {
        EXPECT_TRUE(isAddressLiteral(address)) << address;
    }
    for (const char* name : {"NTSRV1", "srv.corp.example", "10.0.0", "", "1.2.3.4.example"}) {
        EXPECT_FALSE(isAddressLiteral(name)) << name;
    }
}

} // namespace
} // namespace lantrivex::smb
