// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/HostPlatform.h"
#include "platform/win32/Win32ConsoleCodePage.h"
#include "platform/win32/Win32DriveList.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32FolderProbe.h"
#include "platform/win32/Win32InstanceGuard.h"
#include "platform/win32/Win32NamedStreamReader.h"
#include "platform/win32/Win32NetworkConnections.h"
#include "platform/win32/Win32ProfileFile.h"
#include "platform/win32/Win32ProgramLocation.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32ShellOpen.h"
#include "platform/win32/Win32SystemVersion.h"

namespace lantrivex::platform::win32 {

// Every Windows service of the program, owned in one place; platform() hands them out as the
// bundle that the window program and the command-line reader pass down.
//
// The programs write UTF-8: making the bundle also switches standard output and standard error to
// binary (the bytes written are the bytes that arrive, line ends included) and a console to the
// UTF-8 code page, which the console gets back when the bundle goes or the program is interrupted.
class Win32Platform : public HostPlatform {
public:
    Win32Platform();
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform platform() override;

private:
    Win32ConsoleCodePage console_;
    Win32NamedStreamReader streams_;
    Win32FolderProbe folders_;
    Win32ProfileFile profiles_;
    Win32SystemVersion version_;
    Win32FileSystem files_;
    Win32ProgramLocation location_;
    Win32InstanceGuard instance_; // the mutex is created only when the window program asks
    Win32Registry registry_;
    Win32NetworkConnections connections_;
    Win32DriveList drives_;
    Win32ShellOpen shell_;
};

} // namespace lantrivex::platform::win32
