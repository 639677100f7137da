// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Registry.h"

#include <string>
#include <string_view>

namespace lantrivex::discovery {

// The text up to, not including, its first NUL; the whole text when it holds none.
std::string StripNull(std::string_view text);

// Answer of QueryRegValue for a value type it does not read.
inline constexpr platform::RegistryError kUnsupportedValueType = -1;

// Largest value data read (a volume entry or a server name is a few hundred bytes): larger data
// answers kRegNotEnoughMemory instead of being read.
inline constexpr std::uint32_t kMaxValueData = 1u << 20;

// One registry value as text. REG_SZ and REG_MULTI_SZ: the data as reported, its NULs included
// (the terminating one, and for a multi-string the separators, so that callers cut with StripNull
// or search across them); REG_DWORD: the number in decimal digits (read as signed 32-bit). Returns
// the registry's answer (0 success); any other type gives kUnsupportedValueType. `value` is left
// as it was on every failure except a failed data request for a string type, which empties it.
platform::RegistryError QueryRegValue(platform::RegistryKey& key, std::string_view valueName,
                                      std::string& value);

} // namespace lantrivex::discovery
