// SPDX-License-Identifier: GPL-3.0-or-later
// Carries out the placement's plan on an X server: asks, shows, moves and reveals the window as the
// plan says, and reports to it what the server tells.
#include "ui/Placement.h"

#include "ui/PlacementPlan.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using ui::PlacementPlan;
using ui::PlacementStep;

namespace {

/// WM_NORMAL_HINTS holds eighteen 32-bit fields: the flags first, the window gravity last.
constexpr uint32_t NormalHintsFields = 18;
constexpr int WinGravityField = 17;
constexpr uint32_t WinGravityFlag = 1u << 9;

template <typename Reply>
using ReplyPointer = std::unique_ptr<Reply, decltype(&free)>;

/// The atoms the placement names, interned in one round trip.
struct Atoms {
    xcb_atom_t supportingWmCheck, wmName, supported, requestFrameExtents, frameExtents, compositorSelection;
};

/// The number of root's screen, which names its compositing manager's selection (_NET_WM_CM_Sn).
int screenNumber(xcb_connection_t *connection, xcb_window_t root)
{
    int number = 0;
    for (auto screen = xcb_setup_roots_iterator(xcb_get_setup(connection)); screen.rem && screen.data->root != root;
         xcb_screen_next(&screen))
        ++number;
    return number;
}

Atoms internAtoms(xcb_connection_t *connection, xcb_window_t root)
{
    const std::string selection = "_NET_WM_CM_S" + std::to_string(screenNumber(connection, root));
    const std::array<std::string, 6> names{"_NET_SUPPORTING_WM_CHECK", "_NET_WM_NAME", "_NET_SUPPORTED",
                                           "_NET_REQUEST_FRAME_EXTENTS", "_NET_FRAME_EXTENTS", selection};
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies;
    for (size_t i = 0; i < names.size(); ++i)
        cookies[i] = xcb_intern_atom(connection, false, names[i].size(), names[i].data());
    std::array<xcb_atom_t, names.size()> atoms;
    for (size_t i = 0; i < names.size(); ++i) {
        const ReplyPointer<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookies[i], nullptr),
                                                          &free);
        atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    return {atoms[0], atoms[1], atoms[2], atoms[3], atoms[4], atoms[5]};
}

using PropertyReply = ReplyPointer<xcb_get_property_reply_t>;

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

/// The name the running window manager gives itself on the window that the root's
/// _NET_SUPPORTING_WM_CHECK names; trusted only when that window names itself there too, as EWMH
/// has it: a window manager gone leaves the root's property behind, and its window's id to others.
std::string windowManagerName(xcb_connection_t *connection, xcb_window_t root, const Atoms &atoms)
{
    const std::vector<uint32_t> check = cardinals(connection, root, atoms.supportingWmCheck);
    if (check.size() != 1 || cardinals(connection, check[0], atoms.supportingWmCheck) != check)
        return {};
    const PropertyReply name = property(connection, check[0], atoms.wmName);
    if (!name || name->format != 8)
        return {};
    return {static_cast<const char *>(xcb_get_property_value(name.get())),
            size_t(xcb_get_property_value_length(name.get()))};
}

/// Whether the window manager will tell the frame of a window it has not framed yet: it must offer
/// _NET_REQUEST_FRAME_EXTENTS. Fluxbox offers it, but 1.3.5 answers only for windows it already
/// manages and 1.3.7 with a frame 2 px shorter than the one it draws (measured with scripts/desktops
/// on Debian 12 and 13); nothing it offers tells this apart, so it alone is known by its name.
bool answersFrameRequest(xcb_connection_t *connection, xcb_window_t root, const Atoms &atoms)
{
    const std::vector<uint32_t> supported = cardinals(connection, root, atoms.supported);
    return std::find(supported.begin(), supported.end(), atoms.requestFrameExtents) != supported.end()
        && windowManagerName(connection, root, atoms) != "Fluxbox";
}

/// Whether a compositing manager draws the screen (it owns _NET_WM_CM_Sn): it then honours the
/// opacity of a window, so one mapped fully transparent is not seen.
bool isComposited(xcb_connection_t *connection, const Atoms &atoms)
{
    const ReplyPointer<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atoms.compositorSelection),
                                      nullptr),
        &free);
    return owner && owner->owner != XCB_WINDOW_NONE;
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

/// One window's placement, from the first step of its plan to the last: one event filter and one
/// deadline for all of it. The filter only notes what the server told; the plan hears of it from
/// the event loop, outside any filter, so that nothing it does (showing the window among others)
/// runs while Qt walks its filters. Owned by the window; deletes itself once the plan is done.
class X11Placement final : public QObject, public QAbstractNativeEventFilter {
public:
    X11Placement(QWidget &window, xcb_connection_t *connection, xcb_window_t root, PlacementPlan plan)
        : QObject(&window), m_widget(window), m_connection(connection), m_window(xcb_window_t(window.winId())),
          m_root(root), m_atoms(internAtoms(connection, root)), m_plan(std::move(plan))
    {
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, this, [this] { carryOut(m_plan.timeUp()); });
        qApp->installNativeEventFilter(this);
        carryOut(m_plan.start(answersFrameRequest(connection, root, m_atoms), isComposited(connection, m_atoms)));
    }
    ~X11Placement() override { qApp->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const auto *event = static_cast<xcb_generic_event_t *>(message);
        switch (event->response_type & 0x7f) {
        case XCB_MAP_NOTIFY:
            if (reinterpret_cast<const xcb_map_notify_event_t *>(event)->window != m_window)
                return false;
            m_mapped = true;
            break;
        case XCB_PROPERTY_NOTIFY: {
            const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
            if (notify->window != m_window)
                return false;
            m_extentsChanged = m_extentsChanged || notify->atom == m_atoms.frameExtents;
            break;
        }
        case XCB_CONFIGURE_NOTIFY:
            if (reinterpret_cast<const xcb_configure_notify_event_t *>(event)->window != m_window)
                return false;
            break;
        default:
            return false;
        }
        if (!std::exchange(m_reportDue, true))
            QMetaObject::invokeMethod(this, &X11Placement::report, Qt::QueuedConnection);
        return false;
    }

private:
    void report()
    {
        m_reportDue = false;
        // Where X has the window's client area on the root window now.
        const ReplyPointer<xcb_translate_coordinates_reply_t> client(
            xcb_translate_coordinates_reply(
                m_connection, xcb_translate_coordinates(m_connection, m_window, m_root, 0, 0), nullptr),
            &free);
        if (!client)
            return;
        carryOut(m_plan.reported({.extentsChanged = std::exchange(m_extentsChanged, false),
                                  .mapped = m_mapped,
                                  .extents = cardinals(m_connection, m_window, m_atoms.frameExtents),
                                  .clientAt = QPoint(client->dst_x, client->dst_y)}));
    }

    void carryOut(const PlacementStep &step)
    {
        switch (step.kind) {
        case PlacementStep::Wait:
            break;
        case PlacementStep::AskForFrame:
            askForFrame();
            break;
        case PlacementStep::ShowAt:
            m_widget.setGeometry(QRect(step.place, m_widget.size()));
            m_widget.show();
            break;
        case PlacementStep::ShowWithGravity:
            showWithGravity(step.transparent);
            break;
        case PlacementStep::MoveTo: {
            const uint32_t place[] = {uint32_t(step.place.x()), uint32_t(step.place.y())};
            xcb_configure_window(m_connection, m_window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
            xcb_flush(m_connection);
            break;
        }
        case PlacementStep::Reveal:
            m_widget.setWindowOpacity(1.0);
            break;
        }
        if (step.deadline)
            m_deadline.start(*step.deadline);
        if (m_plan.done() && !std::exchange(m_finished, true)) {
            m_deadline.stop();
            deleteLater();
        }
    }

    /// Asks the window manager, while the window is still hidden, how wide a frame it will put
    /// around it; it answers in the window's _NET_FRAME_EXTENTS.
    void askForFrame()
    {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = m_window;
        message.type = m_atoms.requestFrameExtents;
        xcb_send_event(m_connection, false, m_root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char *>(&message));
        xcb_flush(m_connection);
    }

    void showWithGravity(bool transparent)
    {
        if (transparent)
            m_widget.setWindowOpacity(0);
        // Qt writes its own gravity into the size hints as it maps the window and then waits for the
        // server: without the grab the window manager could read Qt's hints before ours.
        const ServerGrab grab(m_connection);
        m_widget.show();
        askForCentreGravity(m_connection, m_window);
    }

    QWidget &m_widget;
    xcb_connection_t *const m_connection;
    const xcb_window_t m_window;
    const xcb_window_t m_root;
    const Atoms m_atoms;
    PlacementPlan m_plan;
    QTimer m_deadline;
    bool m_mapped = false;
    bool m_extentsChanged = false;
    bool m_reportDue = false;
    bool m_finished = false;
};

} // namespace

void ui::placeAndShow(QWidget &window)
{
    // The primary screen, wherever it lies: a new hidden window belongs to whichever screen holds
    // its first place, which is the top-left one.
    PlacementPlan plan(QGuiApplication::primaryScreen()->geometry(), window.size());
    // Hidden, so nobody sees it here: centred on its own size, the frame yet unknown.
    window.move(plan.hiddenPlace());
    // Other platforms (Wayland, offscreen) may offer the interface without a connection.
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *const connection = x11 ? x11->connection() : nullptr;
    const ReplyPointer<xcb_query_tree_reply_t> tree(
        connection ? xcb_query_tree_reply(connection, xcb_query_tree(connection, xcb_window_t(window.winId())), nullptr)
                   : nullptr,
        &free);
    if (!tree) {
        window.show();
        return;
    }
    new X11Placement(window, connection, tree->root, std::move(plan));
}
