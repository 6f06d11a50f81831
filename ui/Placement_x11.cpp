// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Placement.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using FrameAnswer = std::function<void(std::optional<QMargins>)>;

/// How long the window stays hidden waiting for a window manager that promised an answer.
constexpr auto AnswerTimeout = 500ms;

/// WM_NORMAL_HINTS holds eighteen 32-bit fields: the flags first, the window gravity last.
constexpr uint32_t NormalHintsFields = 18;
constexpr int WinGravityField = 17;
constexpr uint32_t WinGravityFlag = 1u << 9;

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, false, strlen(name), name), nullptr), &free);
    if (!reply)
        return XCB_ATOM_NONE;
    return reply->atom;
}

using PropertyReply = std::unique_ptr<xcb_get_property_reply_t, decltype(&free)>;

PropertyReply property(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name, uint32_t words = 1024)
{
    return {xcb_get_property_reply(
                connection, xcb_get_property(connection, false, window, name, XCB_ATOM_ANY, 0, words), nullptr),
            &free};
}

/// The 32-bit values of a window's property, empty when it has none.
std::vector<uint32_t> cardinals(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name)
{
    const PropertyReply reply = property(connection, window, name);
    if (!reply || reply->format != 32)
        return {};
    const auto *values = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

/// The name the running window manager gives itself (EWMH's _NET_SUPPORTING_WM_CHECK window).
std::string windowManagerName(xcb_connection_t *connection, xcb_window_t root)
{
    const std::vector<uint32_t> check = cardinals(connection, root, atom(connection, "_NET_SUPPORTING_WM_CHECK"));
    if (check.size() != 1)
        return {};
    const PropertyReply name = property(connection, check[0], atom(connection, "_NET_WM_NAME"));
    if (!name || name->format != 8)
        return {};
    return {static_cast<const char *>(xcb_get_property_value(name.get())),
            size_t(xcb_get_property_value_length(name.get()))};
}

/// The frame the window manager has told in the window's _NET_FRAME_EXTENTS, believed only when it
/// could be one: no side negative or wider than the screen, so that no sum below can overflow. The
/// window asks for a title bar, so no frame at all is no answer either: mutter 48 says 0,0,0,0 for
/// any window it has not framed yet, and sets the real frame only once it maps it.
std::optional<QMargins> toldFrame(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t extents,
                                  const QRect &screen)
{
    // Left, right, top and bottom; a value above INT_MAX turns negative here and is refused.
    const std::vector<uint32_t> sides = cardinals(connection, window, extents);
    if (sides.size() != 4)
        return std::nullopt;
    const QMargins frame{int(sides[0]), int(sides[2]), int(sides[1]), int(sides[3])};
    const auto within = [](int side, int limit) { return side >= 0 && side <= limit; };
    const bool sane = within(frame.left(), screen.width()) && within(frame.right(), screen.width())
        && within(frame.top(), screen.height()) && within(frame.bottom(), screen.height());
    return sane && !frame.isNull() ? std::optional(frame) : std::nullopt;
}

/// Keeps every other client of the X server, the window manager among them, waiting while it lives.
/// Requests on one connection are carried out in order, so what this client sends in the meantime
/// is seen by the others as one step.
class ServerGrab {
public:
    explicit ServerGrab(xcb_connection_t *connection) : m_connection(connection) { xcb_grab_server(m_connection); }
    ~ServerGrab()
    {
        xcb_ungrab_server(m_connection);
        xcb_flush(m_connection);
    }
    ServerGrab(const ServerGrab &) = delete;
    ServerGrab &operator=(const ServerGrab &) = delete;

private:
    xcb_connection_t *const m_connection;
};

/// Asks the window manager to put the centre of its frame where the centre of the window is
/// (ICCCM's CenterGravity), whatever the size of that frame. Every other size hint stays as Qt
/// wrote it.
void askForCentreGravity(xcb_connection_t *connection, xcb_window_t window)
{
    const PropertyReply reply = property(connection, window, XCB_ATOM_WM_NORMAL_HINTS, NormalHintsFields);
    if (!reply || reply->format != 32 || reply->value_len != NormalHintsFields)
        return;
    uint32_t hints[NormalHintsFields];
    std::memcpy(hints, xcb_get_property_value(reply.get()), sizeof hints);
    hints[0] |= WinGravityFlag;
    hints[WinGravityField] = XCB_GRAVITY_CENTER;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS,
                        32, NormalHintsFields, hints);
}

/// Waits for the window manager to set _NET_FRAME_EXTENTS on the window, or for the timeout.
class ExtentsAnswer final : public QObject, public QAbstractNativeEventFilter {
public:
    ExtentsAnswer(QWidget &window, xcb_connection_t *connection, xcb_atom_t extents, const QRect &screen, FrameAnswer done)
        : QObject(&window), m_connection(connection), m_window(xcb_window_t(window.winId())), m_extents(extents),
          m_screen(screen), m_done(std::move(done))
    {
        qApp->installNativeEventFilter(this);
        QTimer::singleShot(AnswerTimeout, this, [this] { finish(std::nullopt); });
    }
    ~ExtentsAnswer() override { qApp->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const auto *event = static_cast<xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        if (notify->window != m_window || notify->atom != m_extents)
            return false;
        finish(toldFrame(m_connection, m_window, m_extents, m_screen));
        return false;
    }

private:
    void finish(std::optional<QMargins> frame)
    {
        if (!m_done)
            return;
        std::exchange(m_done, {})(frame);
        deleteLater();
    }

    xcb_connection_t *const m_connection;
    const xcb_window_t m_window;
    const xcb_atom_t m_extents;
    const QRect m_screen;
    FrameAnswer m_done;
};

/// Whether the window manager will tell the frame of a window it has not framed yet: it must offer
/// _NET_REQUEST_FRAME_EXTENTS. Fluxbox offers it but answers only for windows it already manages.
bool answersFrameRequest(xcb_connection_t *connection, xcb_window_t root, xcb_atom_t request)
{
    const std::vector<uint32_t> supported = cardinals(connection, root, atom(connection, "_NET_SUPPORTED"));
    return std::find(supported.begin(), supported.end(), request) != supported.end()
        && windowManagerName(connection, root) != "Fluxbox";
}

/// Asks the window manager, while the window is still hidden, how wide a frame it will put around
/// it (_NET_REQUEST_FRAME_EXTENTS, answered in _NET_FRAME_EXTENTS). Calls done once: with the
/// frame, or with nothing when the window manager cannot tell or does not answer in time. done may
/// run before this returns.
void requestFrameExtents(QWidget &window, xcb_connection_t *connection, xcb_window_t root, const QRect &screen,
                         FrameAnswer done)
{
    const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    if (!answersFrameRequest(connection, root, request)) {
        done(std::nullopt);
        return;
    }

    // Owned by the window; deletes itself once answered.
    new ExtentsAnswer(window, connection, atom(connection, "_NET_FRAME_EXTENTS"), screen, std::move(done));
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = xcb_window_t(window.winId());
    message.type = request;
    xcb_send_event(connection, false, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
}

/// Whether a compositing manager draws the screen of root (it owns _NET_WM_CM_Sn): it then honours
/// the opacity of a window, so one mapped fully transparent is not seen.
bool isComposited(xcb_connection_t *connection, xcb_window_t root)
{
    int number = 0;
    for (auto screen = xcb_setup_roots_iterator(xcb_get_setup(connection)); screen.rem && screen.data->root != root;
         xcb_screen_next(&screen))
        ++number;
    const std::string selection = "_NET_WM_CM_S" + std::to_string(number);
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom(connection, selection.c_str())),
                                      nullptr),
        &free);
    return owner && owner->owner != XCB_WINDOW_NONE;
}

/// Keeps a window that was mapped fully transparent so until its frame stands centred. Once the
/// window manager has mapped it and told its frame, a frame put elsewhere (KWin under Wayland at
/// times ignores the gravity) is moved where it belongs, unseen; half a second at most.
class RevealWhenCentred final : public QObject, public QAbstractNativeEventFilter {
    static constexpr int MaxMoves = 3;

public:
    RevealWhenCentred(QWidget &window, xcb_connection_t *connection, xcb_window_t root, const QRect &screen)
        : QObject(&window), m_widget(window), m_connection(connection), m_window(xcb_window_t(window.winId())),
          m_root(root), m_extents(atom(connection, "_NET_FRAME_EXTENTS")), m_screen(screen), m_asked(window.pos())
    {
        qApp->installNativeEventFilter(this);
        QTimer::singleShot(AnswerTimeout, this, &RevealWhenCentred::reveal);
    }
    ~RevealWhenCentred() override { qApp->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const auto *event = static_cast<xcb_generic_event_t *>(message);
        switch (event->response_type & 0x7f) {
        case XCB_MAP_NOTIFY:
            m_mapped = m_mapped || reinterpret_cast<const xcb_map_notify_event_t *>(event)->window == m_window;
            break;
        case XCB_PROPERTY_NOTIFY:
            if (reinterpret_cast<const xcb_property_notify_event_t *>(event)->window != m_window)
                return false;
            break;
        case XCB_CONFIGURE_NOTIFY:
            if (reinterpret_cast<const xcb_configure_notify_event_t *>(event)->window != m_window)
                return false;
            break;
        default:
            return false;
        }
        if (m_mapped)
            check();
        return false;
    }

private:
    void check()
    {
        // No frame is not told yet (mutter's answer from before the mapping may still stand): then
        // the window is shown as it stands when the time is up.
        const std::optional<QMargins> frame = toldFrame(m_connection, m_window, m_extents, m_screen);
        if (!frame)
            return;
        const std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&free)> client(
            xcb_translate_coordinates_reply(m_connection, xcb_translate_coordinates(m_connection, m_window, m_root, 0, 0),
                                            nullptr),
            &free);
        if (!client)
            return;
        const QPoint clientAt(client->dst_x, client->dst_y);
        if (m_moves > 0 && clientAt == m_movedFrom)
            return; // the last move not yet carried out
        const QPoint at = clientAt - QPoint(frame->left(), frame->top());
        const QPoint off = ui::centredPosition(m_screen, m_widget.size().grownBy(*frame)) - at;
        if (std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1) // a half pixel rounded either way
            return reveal();
        // Moved by as much as it is off, and checked again once moved: KWin may have ignored the
        // gravity when it mapped the window and honour it for the move, so a second move may be needed.
        if (++m_moves > MaxMoves)
            return;
        m_asked += off;
        m_movedFrom = clientAt;
        const uint32_t place[] = {uint32_t(m_asked.x()), uint32_t(m_asked.y())};
        xcb_configure_window(m_connection, m_window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
        xcb_flush(m_connection);
    }

    void reveal()
    {
        if (std::exchange(m_revealed, true))
            return;
        m_widget.setWindowOpacity(1.0);
        deleteLater();
    }

    QWidget &m_widget;
    xcb_connection_t *const m_connection;
    const xcb_window_t m_window;
    const xcb_window_t m_root;
    const xcb_atom_t m_extents;
    const QRect m_screen;
    QPoint m_asked;
    QPoint m_movedFrom;
    bool m_mapped = false;
    int m_moves = 0;
    bool m_revealed = false;
};

/// Shows the window with its frame centred: placed by the frame it was told, or else left to the
/// window manager's gravity, asked for as the window is mapped.
void showCentred(QWidget &window, xcb_connection_t *connection, xcb_window_t root, const QRect &screen,
                 std::optional<QMargins> frame)
{
    if (frame) { // the client area's place: the frame goes around it
        const QPoint outer = ui::centredPosition(screen, window.size().grownBy(*frame));
        window.setGeometry(QRect(outer + QPoint(frame->left(), frame->top()), window.size()));
        window.show();
        return;
    }
    // Where a compositing manager runs, a window manager that ignores the gravity can be put right
    // before the window is seen.
    if (isComposited(connection, root)) {
        window.setWindowOpacity(0);
        new RevealWhenCentred(window, connection, root, screen); // owned by the window
    }
    // Qt writes its own gravity into the size hints as it maps the window and then waits for the
    // server: without the grab the window manager could read Qt's hints before ours.
    const ServerGrab grab(connection);
    window.show();
    askForCentreGravity(connection, xcb_window_t(window.winId()));
}

} // namespace

void ui::placeAndShow(QWidget &window)
{
    // The primary screen, wherever it lies: a new hidden window belongs to whichever screen holds
    // its first place, which is the top-left one.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Hidden, so nobody sees it here: centred on its own size, the frame yet unknown.
    window.move(centredPosition(screen, window.size()));
    // Other platforms (Wayland, offscreen) may offer the interface without a connection.
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *const connection = x11 ? x11->connection() : nullptr;
    const std::unique_ptr<xcb_query_tree_reply_t, decltype(&free)> tree(
        connection ? xcb_query_tree_reply(connection, xcb_query_tree(connection, xcb_window_t(window.winId())), nullptr)
                   : nullptr,
        &free);
    if (!tree) {
        window.show();
        return;
    }
    const xcb_window_t root = tree->root;
    requestFrameExtents(window, connection, root, screen,
                        [&window, connection, root, screen](std::optional<QMargins> frame) {
                            showCentred(window, connection, root, screen, frame);
                        });
}
