// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the tests of the Windows side share: telling Wine from Windows, wide texts, a scratch
// registry under HKEY_LOCAL_MACHINE, streams written through the system, programs run with their
// output.

#include "platform/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

namespace lantrivex::test {

// Wine's ntdll exports wine_get_version; Windows' does not.
inline bool runningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

#define SKIP_UNDER_WINE(what)                                                                      \
    if (::lantrivex::test::runningUnderWine())                                                     \
    GTEST_SKIP() << "Wine has no " what "; this test runs on a real Windows machine"

inline std::wstring wide(std::string_view utf8) {
    std::wstring out(utf8.size(), L'\0');
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                        out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return out;
}

inline std::string computerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    return ::GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

// A letter beyond ASCII that the ANSI code page stores, for names that must cross the ANSI
// functions whatever the system's language; and one that it cannot store (none under UTF-8).
inline bool ansiStores(std::string_view utf8) {
    const std::wstring text = wide(utf8);
    const bool utf8Page = ::GetACP() == CP_UTF8;
    BOOL usedDefault = FALSE;
    return ::WideCharToMultiByte(CP_ACP, utf8Page ? 0 : WC_NO_BEST_FIT_CHARS, text.data(),
                                 static_cast<int>(text.size()), nullptr, 0, nullptr,
                                 utf8Page ? nullptr : &usedDefault) > 0 &&
           !usedDefault;
}
inline std::string localLetter() {
    for (const char* letter : {"é", "Ж", "Ω", "א", "ก", "日"}) {
        if (ansiStores(letter)) {
            return letter;
        }
    }
    return "e";
}
inline std::optional<std::string> foreignLetter() {
    for (const char* letter : {"中", "Ж", "é"}) {
        if (!ansiStores(letter)) {
            return letter;
        }
    }
    return std::nullopt;
}

// Keys written for one test and deleted with everything below them at the end.
//
// ScratchRegistry(roots): under HKEY_LOCAL_MACHINE itself, as the programs started by a test read
// it. A key that already exists (a product really installed here) is never touched: ready() is
// false then, as it is when the user may not write there (administrator rights are needed).
//
// ScratchRegistry(forReadingOnly): HKEY_LOCAL_MACHINE of this process only is redirected
// (RegOverridePredefKey) to a scratch key of the user's own registry, so that the tests that only
// read need no administrator rights and never meet a product installed here. A connection to this
// computer by its name still reaches the real HKEY_LOCAL_MACHINE.
class ScratchRegistry {
public:
    struct ForReadingOnly {};
    static constexpr ForReadingOnly forReadingOnly{};

    explicit ScratchRegistry(std::vector<std::string> roots) : roots_(std::move(roots)) {
        for (const std::string& root : roots_) {
            HKEY key = nullptr;
            if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, root.c_str(), 0, KEY_READ, &key) ==
                ERROR_SUCCESS) {
                ::RegCloseKey(key);
                roots_.clear();
                return;
            }
        }
        ready_ = true;
    }
    explicit ScratchRegistry(ForReadingOnly)
        : userKey_(L"Software\\Lantrivex test " + std::to_wstring(::GetCurrentProcessId())) {
        ready_ = ::RegCreateKeyExW(HKEY_CURRENT_USER, userKey_.c_str(), 0, nullptr, 0,
                                   KEY_ALL_ACCESS, nullptr, &base_, nullptr) == ERROR_SUCCESS &&
                 ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, base_) == ERROR_SUCCESS;
    }
    ~ScratchRegistry() {
        if (!userKey_.empty()) {
            ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
            if (base_ != HKEY_LOCAL_MACHINE) {
                ::RegCloseKey(base_);
            }
            ::RegDeleteTreeW(HKEY_CURRENT_USER, userKey_.c_str());
            ::RegDeleteKeyW(HKEY_CURRENT_USER, userKey_.c_str());
        }
        for (const std::string& root : roots_) {
            ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, root.c_str());
            ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, root.c_str());
        }
    }
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    bool ready() const { return ready_; }

    // Sets a value, through the wide functions so that the data is what the test means whatever
    // the code page; nothing is written once one has failed, or where the keys are not the test's.
    void set(std::string_view path, std::string_view name, DWORD type, const void* data,
             std::size_t size) {
        HKEY key = nullptr;
        ready_ = ready_ &&
                 ::RegCreateKeyExW(base_, wide(path).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                   &key, nullptr) == ERROR_SUCCESS &&
                 ::RegSetValueExW(key, wide(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                                  static_cast<DWORD>(size)) == ERROR_SUCCESS;
        if (key != nullptr) {
            ::RegCloseKey(key);
        }
    }
    void set(std::string_view path, std::string_view name, DWORD type, const std::wstring& text) {
        set(path, name, type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }
    void setString(std::string_view path, std::string_view name, std::string_view text) {
        set(path, name, REG_SZ, wide(text));
    }
    void setMultiString(std::string_view path, std::string_view name,
                        const std::vector<std::string>& entries) {
        std::wstring data;
        for (const std::string& entry : entries) {
            data += wide(entry) + L'\0';
        }
        set(path, name, REG_MULTI_SZ, data); // the final NUL comes with set()
    }

private:
    std::vector<std::string> roots_;
    std::wstring userKey_; // under HKEY_CURRENT_USER, for reading only
    HKEY base_ = HKEY_LOCAL_MACHINE;
    bool ready_ = false;
};

#define SKIP_UNLESS_READY(scratch)                                                                 \
    if (!(scratch).ready())                                                                        \
    GTEST_SKIP() << "the registry cannot be written here (HKEY_LOCAL_MACHINE needs an "            \
                    "administrator), or a Macintosh server product is installed (its keys are "    \
                    "left alone)"

// Writes `bytes` to the named stream NAME of `path` through the system ("PATH:NAME"): a real
// stream on NTFS, a file of that name under Wine.
inline bool writeStream(const std::string& path, std::string_view name, std::string_view bytes) {
    std::ofstream out(path + ":" + std::string(name), std::ios::binary);
    return out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush().good();
}

// A program run to its end (its command line in UTF-8) with its standard output and error in one
// text; the exit code in `status` (-1 when it could not start).
inline std::string runProgram(const std::string& commandLine, int& status) {
    status = -1;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        return {};
    }
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    std::wstring command = wide(commandLine); // any letter, whatever the ANSI code page
    const bool started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE,
                                          CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    ::CloseHandle(writeEnd);
    std::string out;
    char buffer[4096];
    DWORD got = 0;
    while (started && ::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        out.append(buffer, got);
    }
    ::CloseHandle(readEnd);
    if (started) {
        ::WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        ::GetExitCodeProcess(process.hProcess, &code);
        status = static_cast<int>(code);
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
    }
    return out;
}

// The registry data of one Macintosh file server product, as the lookup tests write it: the key
// the test creates and deletes, the key of the server's name, and its Volumes key below that.
struct ProductData {
    std::int16_t code;
    std::string root, serverKey, volumesKey;
};

inline const std::vector<ProductData>& productData() {
    static const std::vector<ProductData> products = {
        {0, R"(SYSTEM\CurrentControlSet\Services\MacFile)",
         R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)",
         R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters\Volumes)"},
        {1, R"(SOFTWARE\cyan)", R"(SOFTWARE\cyan\MacServerIP)",
         R"(SOFTWARE\cyan\MacServerIP\Volumes)"},
        {2, R"(SYSTEM\CurrentControlSet\Services\ExtremeZ-IP)",
         R"(SYSTEM\CurrentControlSet\Services\ExtremeZ-IP\Parameters)",
         R"(SYSTEM\CurrentControlSet\Services\ExtremeZ-IP\Parameters\Volumes)"},
    };
    return products;
}

} // namespace lantrivex::test
