# SPDX-License-Identifier: GPL-3.0-or-later
"""Closes the window whose title starts with TITLE the way a window manager does (a WM_DELETE_WINDOW
message), once it shows on the X display of $DISPLAY. Exit status 1 when no such window shows
within SECONDS, or process PID ends first. Needs only Python 3 and libX11.

Usage: close-window.py TITLE SECONDS PID"""

import ctypes
import os
import sys
import time
from ctypes import POINTER, Structure, Union, byref, c_char_p, c_int, c_long, c_uint, c_ulong
from ctypes import c_void_p

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = c_void_p
x11.XOpenDisplay.argtypes = [c_char_p]
x11.XDefaultRootWindow.restype = c_ulong
x11.XDefaultRootWindow.argtypes = [c_void_p]
x11.XInternAtom.restype = c_ulong
x11.XInternAtom.argtypes = [c_void_p, c_char_p, c_int]
x11.XQueryTree.argtypes = [c_void_p, c_ulong, POINTER(c_ulong), POINTER(c_ulong),
                           POINTER(POINTER(c_ulong)), POINTER(c_uint)]
x11.XGetWindowProperty.argtypes = [c_void_p, c_ulong, c_ulong, c_long, c_long, c_int, c_ulong,
                                   POINTER(c_ulong), POINTER(c_int), POINTER(c_ulong),
                                   POINTER(c_ulong), POINTER(c_void_p)]
x11.XSendEvent.argtypes = [c_void_p, c_ulong, c_int, c_long, c_void_p]
x11.XFree.argtypes = [c_void_p]
x11.XFlush.argtypes = [c_void_p]


class ClientMessage(Structure):
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int),
                ("display", c_void_p), ("window", c_ulong), ("message_type", c_ulong),
                ("format", c_int), ("data", c_long * 5)]


class Event(Union):
    _fields_ = [("xclient", ClientMessage), ("pad", c_long * 24)]


def title(display, window, net_wm_name):
    kind, size, count, after = c_ulong(), c_int(), c_ulong(), c_ulong()
    data = c_void_p()
    if x11.XGetWindowProperty(display, window, net_wm_name, 0, 1024, 0, 0, byref(kind),
                              byref(size), byref(count), byref(after), byref(data)) != 0:
        return ""
    if not data.value:
        return ""
    text = ctypes.string_at(data.value, count.value).decode("utf-8", "replace")
    x11.XFree(data)
    return text


def top_windows(display):
    root_return, parent, children, count = c_ulong(), c_ulong(), POINTER(c_ulong)(), c_uint()
    root = x11.XDefaultRootWindow(display)
    if not x11.XQueryTree(display, root, byref(root_return), byref(parent), byref(children),
                          byref(count)):
        return []
    windows = [children[i] for i in range(count.value)]
    if children:
        x11.XFree(children)
    return windows


def running(pid):
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"  # not a zombie
    except OSError:
        return False


def main():
    wanted, seconds, pid = sys.argv[1], float(sys.argv[2]), sys.argv[3]
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the display")
    net_wm_name = x11.XInternAtom(display, b"_NET_WM_NAME", 0)
    protocols = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    delete = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        for window in top_windows(display):
            name = title(display, window, net_wm_name)
            if name.startswith(wanted):
                event = Event()
                event.xclient.type = 33  # ClientMessage
                event.xclient.window = window
                event.xclient.message_type = protocols
                event.xclient.format = 32
                event.xclient.data[0] = delete
                x11.XSendEvent(display, window, 0, 0, byref(event))
                x11.XFlush(display)
                print(f"closed '{name}'")
                return
        if not running(pid):
            sys.exit(f"the program ended before its window '{wanted}...' showed")
        time.sleep(0.2)
    sys.exit(f"no window titled '{wanted}...' within {seconds:g} s")


main()
