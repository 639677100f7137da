// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/AnsiCodePage.h"

#include <limits>
#include <windows.h>

namespace lantrivex::platform::win32 {
namespace {

bool fitsInt(std::size_t size) {
    return size <= static_cast<std::size_t>(std::numeric_limits<int>::max());
}

// `text` in the code page `codePage` as UTF-16; nullopt when it is not valid there.
std::optional<std::wstring> toWide(UINT codePage, DWORD flags, std::string_view text) {
    if (text.empty()) {
        return std::wstring();
    }
    if (!fitsInt(text.size())) {
        return std::nullopt;
    }
    const int length = static_cast<int>(text.size());
    const int needed = ::MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (needed <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (::MultiByteToWideChar(codePage, flags, text.data(), length, wide.data(), needed) !=
        needed) {
        return std::nullopt;
    }
    return wide;
}

// UTF-16 in the code page `codePage`; nullopt when a character cannot be stored there.
std::optional<std::string> fromWide(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) {
        return std::string();
    }
    const int length = static_cast<int>(wide.size());
    const WideToAnsiFlags how = wideToAnsiFlags(codePage);
    BOOL usedDefault = FALSE;
    BOOL* const defaultFlag = how.reportsDefault ? &usedDefault : nullptr;
    const int needed = ::WideCharToMultiByte(codePage, how.flags, wide.data(), length, nullptr, 0,
                                             nullptr, defaultFlag);
    if (needed <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string out(static_cast<std::size_t>(needed), '\0');
    if (::WideCharToMultiByte(codePage, how.flags, wide.data(), length, out.data(), needed, nullptr,
                              defaultFlag) != needed ||
        usedDefault) {
        return std::nullopt;
    }
    return out;
}

} // namespace

WideToAnsiFlags wideToAnsiFlags(unsigned codePage) {
    // UTF-8 (also the ANSI code page of a system set to "Use Unicode UTF-8 for worldwide language
    // support") and GB18030 store every character: they take no default character, and refuse
    // every flag but WC_ERR_INVALID_CHARS, which turns away a lone surrogate.
    if (codePage == CP_UTF8 || codePage == 54936) {
        return {WC_ERR_INVALID_CHARS, false};
    }
    return {WC_NO_BEST_FIT_CHARS, true};
}

std::string fromAnsi(std::string_view ansi) {
    const auto wide = toWide(::GetACP(), 0, ansi);
    const auto utf8 = wide ? fromWide(CP_UTF8, *wide) : std::nullopt;
    return utf8.value_or(std::string());
}

std::optional<std::string> toAnsi(std::string_view utf8) {
    const auto wide = toWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
    return wide ? fromWide(::GetACP(), *wide) : std::nullopt;
}

std::string systemErrorText(unsigned long code) {
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length > 0 && buffer != nullptr ? fromAnsi(std::string_view(buffer, length))
                                                       : "error " + std::to_string(code);
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

} // namespace lantrivex::platform::win32
