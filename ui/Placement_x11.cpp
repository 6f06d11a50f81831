// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Placement.h"

#include <QAbstractNativeEventFilter>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

using ui::centredPosition;

namespace {

using FrameAnswer = std::function<void(std::optional<QMargins>)>;

/// Moves the window so that its outer size, the frame around it included, is centred on its screen.
void centreOnScreen(QWidget &window, const QMargins &frame = {})
{
    window.move(centredPosition(window.screen()->geometry(), window.size().grownBy(frame)));
}

/// A frame is believed only when it could be one: no side negative or wider than the screen. So
/// whatever a window manager reports, no sum below can overflow.
bool isSane(const QMargins &frame, const QRect &screen)
{
    const auto within = [](int side, int limit) { return side >= 0 && side <= limit; };
    return within(frame.left(), screen.width()) && within(frame.right(), screen.width())
        && within(frame.top(), screen.height()) && within(frame.bottom(), screen.height());
}

/// Centres the window again, once, when the window manager has put its frame around it: the fallback
/// for window managers that cannot tell the frame before the window is shown.
class FrameCentring final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Move && event->type() != QEvent::Resize)
            return false;
        auto *window = static_cast<QWidget *>(watched);
        const QMargins frame = window->windowHandle()->frameMargins();
        if (frame.isNull())
            return false; // not framed yet
        window->removeEventFilter(this);
        deleteLater();
        if (isSane(frame, window->screen()->geometry()))
            centreOnScreen(*window, frame);
        return false;
    }
};


using namespace std::chrono_literals;

/// How long the window stays hidden waiting for a window manager that promised an answer.
constexpr auto AnswerTimeout = 500ms;

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, false, strlen(name), name), nullptr), &free);
    if (!reply)
        return XCB_ATOM_NONE;
    return reply->atom;
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
    ExtentsAnswer(QWidget &window, xcb_connection_t *connection, xcb_atom_t extents, FrameAnswer done)
        : QObject(&window), m_connection(connection), m_window(xcb_window_t(window.winId())), m_extents(extents),
          m_screen(window.screen()->geometry()), m_done(std::move(done))
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
        // Left, right, top and bottom; a value above INT_MAX turns negative here and is refused.
        const std::vector<uint32_t> extents = cardinals(m_connection, m_window, m_extents);
        if (extents.size() != 4)
            return false;
        const QMargins frame{int(extents[0]), int(extents[2]), int(extents[1]), int(extents[3])};
        finish(isSane(frame, m_screen) ? std::optional(frame) : std::nullopt);
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

/// Asks the window manager, while the window is still hidden, how wide a frame it will put around
/// it (_NET_REQUEST_FRAME_EXTENTS, answered in _NET_FRAME_EXTENTS). Calls done once: with the
/// frame, or with nothing when the window manager cannot tell or does not answer in time. done may
/// run before this returns.
void requestFrameExtents(QWidget &window, FrameAnswer done)
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

/// Shows the window centred with the frame it was told, or shows it as centred so far and leaves
/// the rest to the fallback.
void showCentred(QWidget &window, std::optional<QMargins> frame)
{
    if (frame) { // the client area's place: the frame goes around it
        const QPoint outer = centredPosition(window.screen()->geometry(), window.size().grownBy(*frame));
        window.setGeometry(QRect(outer + QPoint(frame->left(), frame->top()), window.size()));
    } else {
        window.installEventFilter(new FrameCentring(&window));
    }
    window.show();
}

} // namespace

void ui::placeAndShow(QWidget &window)
{
    // Hidden, so nobody sees it here; this is its place until a frame is known.
    centreOnScreen(window);
    requestFrameExtents(window, [&window](std::optional<QMargins> frame) { showCentred(window, frame); });
}

