// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AccessFailure.h"

#include "platform/Registry.h"

namespace lantrivex::platform {

std::string_view accessFailureText(AccessFailure failure, LanguageFlag nLangue) {
    switch (failure) {
    case AccessFailure::None:
        return "";
    case AccessFailure::TimedOut:
        return tr(nLangue, "La machine n'a pas répondu à temps",
                  "The machine did not answer in time");
    case AccessFailure::ConnectionRefused:
        return tr(nLangue, "La machine a refusé la connexion",
                  "The machine refused the connection");
    case AccessFailure::NameNotFound:
        return tr(nLangue, "Nom de machine introuvable", "The machine's name could not be found");
    case AccessFailure::Smb1Only:
        return tr(nLangue,
                  "Le serveur ne parle que SMB1 : définissez LANTRIVEX_SMB_MIN_PROTOCOL=NT1",
                  "The server speaks only SMB1: set LANTRIVEX_SMB_MIN_PROTOCOL=NT1");
    case AccessFailure::LogonRefused:
        return tr(nLangue, "Ouverture de session refusée", "Logon refused");
    case AccessFailure::AccessDenied:
        return tr(nLangue, "Accès refusé", "Access denied");
    case AccessFailure::NoProductKey:
        return tr(nLangue, "Aucun serveur Macintosh de ce produit sur la machine",
                  "No Macintosh server of this product on the machine");
    case AccessFailure::DamagedExport:
        return tr(nLangue, "Export du registre endommagé ou illisible",
                  "Registry export damaged or unreadable");
    case AccessFailure::StreamTooLarge:
        return tr(nLangue,
                  "Ce montage ne montre les flux que jusqu'à 64 Kio ; montez-le avec "
                  "streams_interface=windows",
                  "This mount shows streams only up to 64 KiB; mount it with "
                  "streams_interface=windows");
    case AccessFailure::CredentialsUnusable:
        return tr(nLangue, "Fichier d'identification inutilisable", "Credentials file unusable");
    case AccessFailure::TicketCacheEmpty:
        return tr(nLangue, "Le cache Kerberos ne contient aucun ticket : lancez kinit",
                  "The Kerberos ticket cache holds no ticket: run kinit");
    case AccessFailure::TicketCacheCorrupt:
        return tr(nLangue, "Cache de tickets Kerberos endommagé : lancez kinit",
                  "The Kerberos ticket cache is damaged: run kinit");
    case AccessFailure::TicketExpired:
        return tr(nLangue, "Le ticket Kerberos a expiré : lancez kinit",
                  "The Kerberos ticket has expired: run kinit");
    case AccessFailure::TicketRefused:
        return tr(nLangue,
                  "Ticket Kerberos refusé par le serveur ou le KDC (expiré, compte désactivé)",
                  "Kerberos ticket refused by the server or the KDC (expired, account disabled)");
    case AccessFailure::KerberosNeedsName:
        return tr(nLangue,
                  "Kerberos a besoin du nom du serveur, pas de son adresse : nommez-le par son nom",
                  "Kerberos needs the server's name, not its address: name it by its name");
    case AccessFailure::Unreachable:
        return tr(nLangue, "Machine injoignable", "The machine could not be reached");
    }
    return "";
}

std::string_view accessFailureId(AccessFailure failure) {
    switch (failure) {
    case AccessFailure::None:
        return "";
    case AccessFailure::TimedOut:
        return "timed-out";
    case AccessFailure::ConnectionRefused:
        return "connection-refused";
    case AccessFailure::NameNotFound:
        return "name-not-found";
    case AccessFailure::Smb1Only:
        return "smb1-only";
    case AccessFailure::LogonRefused:
        return "logon-refused";
    case AccessFailure::AccessDenied:
        return "access-denied";
    case AccessFailure::NoProductKey:
        return "no-product-key";
    case AccessFailure::DamagedExport:
        return "damaged-export";
    case AccessFailure::StreamTooLarge:
        return "stream-too-large";
    case AccessFailure::CredentialsUnusable:
        return "credentials-unusable";
    case AccessFailure::TicketCacheEmpty:
        return "ticket-cache-empty";
    case AccessFailure::TicketCacheCorrupt:
        return "ticket-cache-corrupt";
    case AccessFailure::TicketExpired:
        return "ticket-expired";
    case AccessFailure::TicketRefused:
        return "ticket-refused";
    case AccessFailure::KerberosNeedsName:
        return "server-by-address";
    case AccessFailure::Unreachable:
        return "unreachable";
    }
    return "";
}

AccessFailure registryErrorFailure(RegistryError error) noexcept {
    switch (error) {
    case kRegOk:
        return AccessFailure::None;
    case kRegFileNotFound:
        return AccessFailure::NoProductKey;
    case kRegAccessDenied:
        return AccessFailure::AccessDenied;
    default:
        return AccessFailure::Unreachable;
    }
}

} // namespace lantrivex::platform
