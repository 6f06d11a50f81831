#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Watches the screen's top-level windows from outside, in the order the X server tells it, and
# writes a line each time one changes: "WINDOW X Y WIDTH HEIGHT SEEN MS", the client window, its
# frame's outer place and size (border included), whether it can be seen (mapped, and fully opaque
# while a compositing manager owns _NET_WM_CM_S0), and the milliseconds since it was mapped. A
# frame request writes "asked WINDOW". It also sets each framed window's _NET_FRAME_EXTENTS once
# the frame is mapped, as mutter 48 and weston do, and so tells twm's frames too.
import time
from Xlib import X, Xatom, display, error

d = display.Display()
d.set_error_handler(lambda *_: None)  # windows may go before they are looked at
root = d.screen().root
opacity, extents, request, manager = (d.intern_atom(name) for name in (
    '_NET_WM_WINDOW_OPACITY', '_NET_FRAME_EXTENTS', '_NET_REQUEST_FRAME_EXTENTS', '_NET_WM_CM_S0'))
tops = {}  # the root's children: place, size, border, mapped since, and the client they frame
root.change_attributes(event_mask=X.SubstructureNotifyMask)


def opaque(window):
    value = window.get_full_property(opacity, X.AnyPropertyType)
    return value is None or value.value[0] == 0xffffffff


def write(top):
    t = tops[top.id]
    try:
        seen = t['mapped'] is not None and (opaque(t.get('client', top)) or d.get_selection_owner(manager) == X.NONE)
    except error.XError:  # a client gone before its frame
        return
    client = t.get('client', top)
    since = round((time.monotonic() - t['mapped']) * 1000) if t['mapped'] else 0
    print(hex(client.id), t['x'], t['y'], t['w'] + 2 * t['b'], t['h'] + 2 * t['b'], int(seen), since, flush=True)


def tell(top, client):
    inner = client.get_geometry()
    t = tops[top.id]
    left, top_side = t['b'] + inner.x + inner.border_width, t['b'] + inner.y + inner.border_width
    sides = [left, t['w'] + 2 * t['b'] - left - inner.width, top_side, t['h'] + 2 * t['b'] - top_side - inner.height]
    client.change_property(extents, Xatom.CARDINAL, 32, sides)


while True:
    e = d.next_event()
    if e.type == X.CreateNotify and e.parent == root:
        e.window.change_attributes(event_mask=X.PropertyChangeMask)  # before the first look at it
        tops[e.window.id] = dict(x=e.x, y=e.y, w=e.width, h=e.height, b=e.border_width, mapped=None)
    elif e.type == X.ReparentNotify and e.parent.id in tops:
        tops[e.parent.id]['client'] = e.window
        tops.pop(e.window.id, None)
    elif e.type == X.DestroyNotify:
        tops.pop(e.window.id, None)
    elif e.type == X.ConfigureNotify and e.window.id in tops:
        tops[e.window.id].update(x=e.x, y=e.y, w=e.width, h=e.height, b=e.border_width)
        write(e.window)
    elif e.type in (X.MapNotify, X.UnmapNotify) and e.window.id in tops:
        tops[e.window.id]['mapped'] = time.monotonic() if e.type == X.MapNotify else None
        write(e.window)
        if e.type == X.MapNotify and 'client' in tops[e.window.id]:
            tell(e.window, tops[e.window.id]['client'])
    elif e.type == X.PropertyNotify and e.atom == opacity:
        for top in [i for i, t in tops.items() if t.get('client', d.create_resource_object('window', i)) == e.window]:
            write(d.create_resource_object('window', top))
    elif e.type == X.ClientMessage and e.client_type == request:
        print('asked', hex(e.window.id), flush=True)
