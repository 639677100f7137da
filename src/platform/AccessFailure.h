// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"

#include <string_view>

namespace lantrivex::platform {

// Why a machine's registry or a volume's index stream could not be read. Discovery still folds
// every failure into its results (the catalogue shows the machine as a leaf); the reason is kept
// beside the result so that the window (a machine node's tooltip) and the command-line reader
// (standard error, the JSON field "reason") can tell it.
enum class AccessFailure {
    None,                // read, or nothing was tried
    TimedOut,            // the machine did not answer in time (connection or a reply)
    ConnectionRefused,   // the machine refused the connection (no SMB service on the port)
    NameNotFound,        // the machine's name could not be resolved
    Smb1Only,            // the server speaks only SMB1, which is not offered by default
    LogonRefused,        // the server refused the account (or would only grant guest)
    AccessDenied,        // the account may not read the registry key, the share or the stream
    NoProductKey,        // reached, but the chosen product's key is not there
    DamagedExport,       // the machine's registry export is there but damaged or unreadable
    StreamTooLarge,      // the mount shows named streams only up to the attribute size limit
    CredentialsUnusable, // the credentials file named by the settings cannot be used
    TicketCacheEmpty,    // the Kerberos ticket cache holds no ticket (and no account was given)
    TicketCacheCorrupt,  // the Kerberos ticket cache is damaged
    TicketExpired,       // every ticket of the Kerberos ticket cache has expired
    TicketRefused,       // the server or the KDC refused the ticket (expired, disabled account)
    KerberosNeedsName,   // a ticket but the server named by its address: no service principal
    Unreachable,         // the machine or the path could not be reached, for another reason
};

// The reason as a short sentence in the interface language, for a tooltip or a message line; ""
// for AccessFailure::None.
std::string_view accessFailureText(AccessFailure failure, LanguageFlag nLangue);

// A stable identifier of the reason, for machine-readable output ("timed-out", "smb1-only", ...);
// "" for AccessFailure::None.
std::string_view accessFailureId(AccessFailure failure);

} // namespace lantrivex::platform
