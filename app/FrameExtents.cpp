// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrameExtents.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;

/// How long the window stays hidden waiting for a window manager that promised an answer.
constexpr auto AnswerTimeout = 500ms;

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, false, strlen(name), name), nullptr), &free);
    return reply ? reply->atom : XCB_ATOM_NONE;
}

/// The 32-bit values of a window's property, empty when it has none.
std::vector<uint32_t> cardinals(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name)
{
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> reply(
        xcb_get_property_reply(connection, xcb_get_property(connection, false, window, name, XCB_ATOM_ANY, 0, 1024),
                               nullptr),
        &free);
    if (!reply || reply->format != 32)
        return {};
    const auto *values = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

/// Waits for the window manager to set _NET_FRAME_EXTENTS on the window, or for the timeout.
class ExtentsAnswer final : public QObject, public QAbstractNativeEventFilter {
public:
    ExtentsAnswer(QWidget &window, xcb_connection_t *connection, xcb_atom_t extents,
                  std::function<void(std::optional<QMargins>)> done)
        : QObject(&window), m_connection(connection), m_window(window.winId()), m_extents(extents),
          m_done(std::move(done))
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
        if (notify->window == m_window && notify->atom == m_extents) {
            // Left, right, top and bottom.
            const std::vector<uint32_t> extents = cardinals(m_connection, m_window, m_extents);
            if (extents.size() == 4)
                finish(QMargins(int(extents[0]), int(extents[2]), int(extents[1]), int(extents[3])));
        }
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
    std::function<void(std::optional<QMargins>)> m_done;
};

} // namespace

void requestFrameExtents(QWidget &window, std::function<void(std::optional<QMargins>)> done)
{
    // Other platforms (offscreen among them) may offer the interface without a connection.
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *const connection = x11 ? x11->connection() : nullptr;
    if (!connection) {
        done(std::nullopt);
        return;
    }
    const std::unique_ptr<xcb_query_tree_reply_t, decltype(&free)> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, xcb_window_t(window.winId())), nullptr), &free);
    if (!tree) {
        done(std::nullopt);
        return;
    }
    const xcb_window_t root = tree->root;
    const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const std::vector<uint32_t> supported = cardinals(connection, root, atom(connection, "_NET_SUPPORTED"));
    if (std::find(supported.begin(), supported.end(), request) == supported.end()) {
        done(std::nullopt);
        return;
    }

    // Owned by the window; deletes itself once answered.
    new ExtentsAnswer(window, connection, atom(connection, "_NET_FRAME_EXTENTS"), std::move(done));
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = xcb_window_t(window.winId());
    message.type = request;
    xcb_send_event(connection, false, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
}
