# SPDX-License-Identifier: GPL-3.0-or-later
# The static Qt for Windows that scripts/windows builds from Debian's source of the host's Qt: an
# initial cache for Qt's own configure (cmake -C this file, with the toolchain cmake/mingw-w64.cmake).
#
# features(ON|OFF name...): Qt's FEATURE_<name> switches.
macro(features value)
    foreach(feature ${ARGN})
        set(FEATURE_${feature} ${value} CACHE BOOL "")
    endforeach()
endmacro()

# Static, release, with the host's Qt for the tools (moc, rcc) built for the machine that builds.
set(CMAKE_BUILD_TYPE Release CACHE STRING "")
set(BUILD_SHARED_LIBS OFF CACHE BOOL "")
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
set(QT_BUILD_TESTS OFF CACHE BOOL "")
set(QT_BUILD_EXAMPLES OFF CACHE BOOL "")

# Only what the game links: Core, Gui, Widgets and the Windows platform plugin with its styles, and
# Test for the rules tests. Debian's source lacks the tablet header the Windows plugin includes, and
# without OpenGL that plugin compiles only without dynamic GL.
features(OFF sql network opengl dbus printsupport concurrent xml vulkan tabletevent dynamicgl)
features(ON testlib)
# Qt's own copies of the libraries it uses, or the program would need DLLs beside it; no JPEG or GIF.
features(OFF system_zlib system_png system_jpeg system_freetype system_harfbuzz system_pcre2
    system_doubleconversion jpeg gif)

# The fonts: the Windows plugin keeps to Qt's GDI font database, whose face lookup and fallback the
# Windows checks know under Wine (with Wine's font replacements), and draws with GDI at 100 %. Qt 6.8
# made the DirectWrite 3 database the default; without DirectWrite 3 the plugin has the GDI database
# alone, from the unpatched source of either Qt. Gui's DirectWrite needs Direct2D in 6.8 (and 6.8
# builds without DirectWrite no more); Direct2D 1.1 would only add the Direct2D platform plugin.
# scripts/windows stops where the Qt at hand cannot have these.
features(ON directwrite direct2d)
features(OFF directwrite3 direct2d1_1)

# Built for size: -Os, and each function and datum in a section of its own for the linker to drop
# unused. Not -ltcg: Qt's objects are big COFF objects (-mbig-obj), which the link-time optimiser
# of MinGW-w64 GCC (12 and 14) does not read, so the link would only carry the machine code.
features(ON optimize_size gc_binaries)

# What a game of one window never reaches, but Qt's own code would link in: its styles, events and
# the Windows plugin name these classes, so the linker cannot drop them. Plain text only (no HTML,
# Markdown or ODF), no tray icon, session management, "What's this?", gestures,
# animated or recorded pictures, PDF, FreeType (the GDI font database draws), other calendars or
# built-in MIME database, and of the widgets those the game and a message box do not use. The
# Windows styles and Widgets' own code name table and tree views, tab widgets, main windows, tool
# bars and the input dialog without asking first, Qt 6.8's Windows 11 style (built into the same
# plugin as the Vista style, whatever its feature says) names graphics views, graphics effects,
# command link buttons and the application's style sheet (which needs the CSS parser), and Qt 6.4's
# QApplication does not compile without drag and drop: those stay.
features(OFF mimetype_database jalalicalendar islamiccivilcalendar gestures freetype texthtmlparser
    textmarkdownreader textmarkdownwriter textodfwriter movie picture pdf systemtrayicon sessionmanager
    whatsthis undocommand filesystemmodel effects filedialog fscompleter colordialog fontdialog
    fontcombobox errormessage progressdialog wizard mdiarea calendarwidget datetimeedit keysequenceedit
    lcdnumber dial columnview undoview datawidgetmapper textbrowser syntaxhighlighter splashscreen
    treewidget tablewidget listwidget dockwidget toolbox statusbar statustip sizegrip splitter scroller)

# Nor does it hash with SHA-3 (its small code instead of its fast one), read MIME types or XML, keep
# time zones other than local time and UTC, parse dates, start processes or read PPM and XBM images.
# Regular expressions stay, as Qt 6.8.2's build requires PCRE2 whatever its feature says, and
# settings, as Qt 6.4.2's Windows plugin includes QSettings without asking.
features(OFF sha3_fast mimetype xmlstream timezone datetimeparser process imageformat_ppm imageformat_xbm)
