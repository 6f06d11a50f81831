// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/Board.h"

#include <QString>

namespace game {

/// What the rules need of the window, and nothing more.
class BoardView {
public:
    virtual ~BoardView() = default;
    virtual void setButtonCaption(Int16 position, const QString &caption) = 0;
    virtual void setMarkerVisible(Int16 position, bool visible) = 0;
    virtual void setLabelText(const QString &text) = 0;
    /// Hiding the board hides its buttons and markers without changing their own visibility.
    virtual void setBoardVisible(bool visible) = 0;
};

} // namespace game
