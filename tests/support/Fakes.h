// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Test doubles of the narrow interfaces the rules talk through: the window, the random source and
// the pauses of a verdict.

#include "charsets/CharSets.h"
#include "game/Game.h"

#include <QStringList>

#include <deque>
#include <set>

/// Logs every window operation as one line ("caption 3 あ", "marker 3 show", "label 正解",
/// "board hide", "process") and keeps the captions, markers and label it was last given.
class RecordingView final : public game::BoardView {
public:
    QStringList log;
    std::array<QString, game::PositionCount> captions;
    std::set<int> markers; ///< positions whose marker is shown
    QString label;

    void setButtonCaption(game::Int16 position, const QString &caption) override
    {
        captions.at(position) = caption;
        log << QStringLiteral("caption %1 %2").arg(position).arg(caption);
    }
    void setMarkerVisible(game::Int16 position, bool visible) override
    {
        if (visible)
            markers.insert(position);
        else
            markers.erase(position);
        log << QStringLiteral("marker %1 %2").arg(position).arg(visible ? "show" : "hide");
    }
    void setLabelText(const QString &text) override
    {
        label = text;
        log << "label " + text;
    }
    void setBoardVisible(bool visible) override { log << (visible ? "board show" : "board hide"); }
    void processPendingEvents() override { log << "process"; }

    /// Boards dealt since the log was last cleared: a deal writes caption 0 once.
    qsizetype deals() const { return log.filter(QStringLiteral("caption 0 ")).size(); }
};

/// Hands out the given draws in order.
class ScriptedRandom final : public game::RandomSource {
public:
    std::deque<float> values;

    float next() override
    {
        const float r = values.at(0); // throws once the script runs out
        values.pop_front();
        return r;
    }
};

/// Records each pause asked for (also as "pause 3000" in an optional log) and runs its step only
/// when the test calls finish().
class ManualPauses final : public game::Pauses {
public:
    explicit ManualPauses(QStringList *log = nullptr) : log(log) {}

    std::vector<std::chrono::milliseconds> lengths;

    void pause(std::chrono::milliseconds length, std::function<void()> then) override
    {
        lengths.push_back(length);
        if (log)
            *log << QStringLiteral("pause %1").arg(length.count());
        pending = std::move(then);
    }
    bool waiting() const { return bool(pending); }
    void finish() { std::exchange(pending, {})(); }

private:
    QStringList *log;
    std::function<void()> pending;
};

/// A game on the fakes with the built-in tables and no board dealt yet; pauses log to view.log.
template <class Random = game::ClockSeededRandom>
struct GameRig {
    RecordingView view;
    Random random;
    ManualPauses pauses{&view.log};
    game::Game game{view, random, pauses};

    GameRig() { game.loadTables(charsets::buildCharSets(), charsets::buildSetSizes()); }
};
