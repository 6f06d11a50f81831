// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/BoardView.h"

#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QPushButton;

/// The game's one window: the label, the board panel with twenty character buttons and their
/// marker bars, and the side panel with "次" and "終". Its layout never changes after creation.
class GameWindow final : public QWidget, public game::BoardView {
    Q_OBJECT

public:
    explicit GameWindow(QWidget *parent = nullptr);

    // Declared, and so created, in Tab order: the focus chain follows the order of creation. Tab
    // stops only at "次" and "終": the character buttons take the focus when clicked, and the
    // label, the panels and the markers never.
    QLabel *const promptLabel;
    QWidget *const board;
    const std::array<QPushButton *, game::PositionCount> characterButtons;
    QWidget *const sidePanel;
    QPushButton *const nextSetButton;
    QPushButton *const quitButton;
    const std::array<QFrame *, game::PositionCount> markers;

    void setButtonCaption(game::Int16 position, const QString &caption) override;
    void setMarkerVisible(game::Int16 position, bool visible) override;
    void setLabelText(const QString &text) override;
    void setBoardVisible(bool visible) override;

signals:
    /// Any request to close the window; it is never refused.
    void closeRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
};
