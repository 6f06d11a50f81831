// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Startup.h"

#include "app/FrameExtents.h"
#include "game/Game.h"
#include "ui/Form1.h"

#include <QEvent>
#include <QMessageBox>
#include <QScreen>

#include <cmath>

namespace {

QPoint centredPosition(const QRect &screen, QSize outer)
{
    // Halves subtracted, not clamped: a window larger than the screen gets a negative position.
    return {screen.x() + int(std::floor(screen.width() / 2.0 - outer.width() / 2.0)),
            screen.y() + int(std::floor(screen.height() / 2.0 - outer.height() / 2.0))};
}

/// Centres the window again, once, when the window manager has put its frame around it: the fallback
/// for window managers that cannot tell the frame before the window is shown.
class FrameCentring final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = static_cast<QWidget *>(watched);
        if ((event->type() == QEvent::Move || event->type() == QEvent::Resize)
            && window->frameGeometry().size() != window->size()) {
            window->removeEventFilter(this);
            window->move(centredPosition(window->screen()->geometry(), window->frameGeometry().size()));
            deleteLater();
        }
        return false;
    }
};

void showStartupFailure()
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("ほずめりさ？"),
                    QStringLiteral("「ほずめりさ？」の起動に失敗しました"), QMessageBox::Ok);
    box.exec();
}

} // namespace

void centreOnScreen(QWidget &window)
{
    window.move(centredPosition(window.screen()->geometry(), window.frameGeometry().size()));
}

void showCentred(QWidget &window)
{
    requestFrameExtents(window, [&window](std::optional<QMargins> frame) {
        if (frame) { // the client area's place: the frame goes around it
            const QPoint outer = centredPosition(window.screen()->geometry(), window.size().grownBy(*frame));
            window.setGeometry(QRect(outer + QPoint(frame->left(), frame->top()), window.size()));
        } else {
            window.installEventFilter(new FrameCentring(&window));
        }
        window.show();
    });
}

bool Form_Load(Form1 &form, game::Game &game, game::ClockSeededRandom &random, const TableSource &tables)
{
    centreOnScreen(form);
    try {
        game.loadTables(tables.charSets(), tables.setSizes());
        random.seedFromClock();
        game.DealBoard();
        showCentred(form);
    } catch (...) {
        showStartupFailure();
        return false;
    }
    return true;
}
