#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Watches the screen's top-level windows from outside, in the order the X server tells it, and
# writes a line each time one changes: "WINDOW X Y WIDTH HEIGHT SEEN MS", the client window, its
# frame's outer place and size (border included), whether it can be seen (mapped, and fully opaque
# while a compositing manager owns _NET_WM_CM_S0), and the milliseconds since it was mapped. A
# frame request writes "asked WINDOW". It also sets each framed window's _NET_FRAME_EXTENTS once the
# frame is mapped, as mutter 48 and weston do, and so tells twm's frames too.
# Its first line, "listening", comes once it listens.
import time
from Xlib import X, Xatom, display, error

d = display.Display()
d.set_error_handler(lambda *_: None)  # windows may go before they are looked at
opacity, extents, request, manager = (d.intern_atom(name) for name in (
    '_NET_WM_WINDOW_OPACITY', '_NET_FRAME_EXTENTS', '_NET_REQUEST_FRAME_EXTENTS', '_NET_WM_CM_S0'))
root = d.screen().root
root.change_attributes(event_mask=X.SubstructureNotifyMask)
d.sync()
print('listening', flush=True)
tops = {}  # the root's children: geometry (x, y, width, height, border), when mapped, the client held


def write(t):
    x, y, w, h, b = t['geometry']
    value = t['client'].get_full_property(opacity, X.AnyPropertyType)
    seen = t['mapped'] is not None and (value is None or value.value[0] == 0xffffffff
                                        or d.get_selection_owner(manager) == X.NONE)
    since = round((time.monotonic() - t['mapped']) * 1000) if seen else 0
    print(hex(t['client'].id), x, y, w + 2 * b, h + 2 * b, int(seen), since, flush=True)


def tell(t):
    x, y, w, h, b = t['geometry']
    inner = t['client'].get_geometry()
    left, top = b + inner.x + inner.border_width, b + inner.y + inner.border_width
    sides = [left, w + 2 * b - left - inner.width, top, h + 2 * b - top - inner.height]
    t['client'].change_property(extents, Xatom.CARDINAL, 32, sides)


while True:
    e = d.next_event()
    t = tops.get(e.window.id)
    try:
        if e.type == X.CreateNotify and e.parent == root:
            e.window.change_attributes(event_mask=X.PropertyChangeMask)  # before the first look at it
            tops[e.window.id] = dict(geometry=(e.x, e.y, e.width, e.height, e.border_width), mapped=None, client=e.window)
        elif e.type == X.ReparentNotify and e.parent.id in tops:
            tops.pop(e.window.id, None)
            tops[e.parent.id]['client'] = e.window
        elif e.type == X.DestroyNotify:
            tops.pop(e.window.id, None)
        elif e.type == X.ConfigureNotify and t:
            t['geometry'] = (e.x, e.y, e.width, e.height, e.border_width)
            write(t)
        elif e.type in (X.MapNotify, X.UnmapNotify) and t:
            t['mapped'] = time.monotonic() if e.type == X.MapNotify else None
            write(t)
            if e.type == X.MapNotify and t['client'] != e.window:
                tell(t)
        elif e.type == X.PropertyNotify and e.atom == opacity:
            for t in [t for t in tops.values() if t['client'] == e.window]:
                write(t)
        elif e.type == X.ClientMessage and e.client_type == request:
            print('asked', hex(e.window.id), flush=True)
    except error.XError:  # a client gone before its frame
        pass
