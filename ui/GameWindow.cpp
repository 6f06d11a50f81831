// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/GameWindow.h"

#include "game/Texts.h"
#include "ui/Fonts.h"
#include "ui/Layout.h"
#include "ui/SystemColours.h"
#include "ui/WholeTextLabel.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

// Compiled in: an icon file would be decoded through an image plugin, looked up at start-up.
#include "resources/Kovelith.xpm"

namespace layout = ui::layout;

namespace {

QPushButton *makeButton(QWidget *parent, const QString &name, const QRect &geometry, const QFont &font,
                        const QString &caption = {})
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFont(font);
    button->setAutoDefault(false);
    return button;
}

/// A flat bar with a single-line frame in the window-text colour, filled like an application's workspace.
class Marker final : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter(this).fillRect(rect(), ui::colours::applicationWorkspace(palette()));
        QFrame::paintEvent(event);
    }
};

QFrame *makeMarker(QWidget *parent, int i)
{
    auto *marker = new Marker(parent);
    marker->setObjectName(QStringLiteral("Picture3(%1)").arg(i));
    marker->setGeometry(layout::marker(i));
    marker->setFrameStyle(QFrame::Box | QFrame::Plain);
    marker->setLineWidth(1);
    marker->hide();
    return marker;
}

std::array<QPushButton *, game::PositionCount> makeCharacterButtons(QWidget *board)
{
    std::array<QPushButton *, game::PositionCount> buttons;
    const QFont font = ui::fonts::gothic(36);
    for (int i = 0; i < game::PositionCount; ++i) {
        buttons[i] = makeButton(board, QStringLiteral("Command1(%1)").arg(i), layout::button(i), font);
        // Out of the Tab order: Tab moves between "次" and "終" alone, and a click still focuses.
        buttons[i]->setFocusPolicy(Qt::ClickFocus);
    }
    return buttons;
}

std::array<QFrame *, game::PositionCount> makeMarkers(QWidget *board)
{
    std::array<QFrame *, game::PositionCount> markers;
    for (int i = 0; i < game::PositionCount; ++i)
        markers[i] = makeMarker(board, i);
    return markers;
}

QWidget *makePanel(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setGeometry(geometry);
    return panel;
}

} // namespace

GameWindow::GameWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , promptLabel(new WholeTextLabel(game::texts::Prompt, this))
    , board(makePanel(this, QStringLiteral("Picture1"), layout::Board))
    , characterButtons(makeCharacterButtons(board))
    , sidePanel(makePanel(this, QStringLiteral("Picture2"), layout::SidePanel))
    , nextSetButton(makeButton(sidePanel, QStringLiteral("Command2"), layout::NextSetButton, ui::fonts::gothic(12),
                               QStringLiteral("次")))
    , quitButton(makeButton(sidePanel, QStringLiteral("Command3"), layout::QuitButton, nextSetButton->font(),
                            QStringLiteral("終")))
    , markers(makeMarkers(board))
{
    // The object names are the ones the window has always had: accessibility tools show them as the
    // controls' automation ids, so they stay as they are.
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(game::texts::Prompt);
    setWindowIcon(QPixmap(kovelith_xpm));
    setFixedSize(layout::ClientSize);
    // The window itself holds the focus until the player clicks a button or tabs to one, so that a
    // stray Space or Enter presses nothing. setFocus() heeds no focus policy: the window keeps
    // Qt::NoFocus, and a click on its background leaves the focus where it was.
    setFocus();

    promptLabel->setObjectName(QStringLiteral("Label1"));
    promptLabel->setGeometry(layout::PromptLabel);
    promptLabel->setFont(ui::fonts::mincho(36));
    // The 36 pt glyphs are as tall as the label: the line starts one pixel down.
    promptLabel->setContentsMargins(0, 1, 0, 0);
    promptLabel->setAutoFillBackground(true);
}

void GameWindow::setButtonCaption(game::Int16 position, const QString &caption)
{
    characterButtons.at(position)->setText(caption);
}

void GameWindow::setMarkerVisible(game::Int16 position, bool visible)
{
    markers.at(position)->setVisible(visible);
}

void GameWindow::setLabelText(const QString &text)
{
    promptLabel->setText(text);
}

void GameWindow::setBoardVisible(bool visible)
{
    // Hiding a focused character button would pass the focus on along the Tab order to "次", where
    // a Space meant for the next board would switch the set.
    if (!visible && board->isAncestorOf(focusWidget()))
        setFocus();
    board->setVisible(visible);
}

void GameWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closeRequested();
}
