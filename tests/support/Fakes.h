#pragma once

// Test doubles of the narrow interfaces the rules talk through: the window, the random source and
// the pauses of a verdict.

#include "charsets/CharSets.h"
#include "game/Game.h"

#include <QStringList>
#include <QTest>

#include <algorithm>
#include <deque>
#include <stdexcept>

/// Logs every window operation as one line ("caption 3 あ", "marker 3 show", "label 正解",
/// "board hide", "process") and keeps the current state of what it was told.
class RecordingView final : public game::BoardView {
public:
    QStringList log;                                   ///< every operation, in order
    std::array<QString, game::PositionCount> captions; ///< current caption of each button
    std::array<bool, game::PositionCount> markers{};   ///< current visibility of each marker
    QString label;                                     ///< current label text
    bool boardVisible = true;                          ///< current visibility of the board panel

    void setButtonCaption(game::Int16 position, const QString &caption) override
    {
        captions.at(position) = caption;
        log << QStringLiteral("caption %1 %2").arg(position).arg(caption);
    }
    void setMarkerVisible(game::Int16 position, bool visible) override
    {
        markers.at(position) = visible;
        log << QStringLiteral("marker %1 %2").arg(position).arg(visible ? "show" : "hide");
    }
    void setLabelText(const QString &text) override
    {
        label = text;
        log << QStringLiteral("label ") + text;
    }
    void setBoardVisible(bool visible) override
    {
        boardVisible = visible;
        log << QStringLiteral("board %1").arg(visible ? "show" : "hide");
    }
    void processPendingEvents() override { log << QStringLiteral("process"); }

    /// Positions whose marker is currently visible, ascending.
    QList<int> visibleMarkers() const
    {
        QList<int> shown;
        for (int i = 0; i < game::PositionCount; ++i)
            if (markers[i])
                shown << i;
        return shown;
    }
    /// How many boards were dealt since the log was last cleared (each deal writes caption 0 once).
    int deals() const
    {
        return int(std::count_if(log.cbegin(), log.cend(),
                                 [](const QString &line) { return line.startsWith(u"caption 0 "); }));
    }
};

/// Hands out the given draws in order; running out fails the current test and throws.
class ScriptedRandom final : public game::RandomSource {
public:
    std::deque<float> values; ///< draws not yet taken

    ScriptedRandom() = default;
    ScriptedRandom(std::initializer_list<float> draws) : values(draws) {}

    float next() override
    {
        if (values.empty()) {
            QTest::qFail("ScriptedRandom ran out of draws", __FILE__, __LINE__);
            throw std::logic_error("ScriptedRandom ran out of draws");
        }
        const float r = values.front();
        values.pop_front();
        return r;
    }
};

/// Records each requested pause (also as "pause 3000" in an optional log) and runs the pending
/// step only when the test calls finish().
class ManualPauses final : public game::Pauses {
public:
    explicit ManualPauses(QStringList *log = nullptr) : log(log) {}

    std::vector<std::chrono::milliseconds> lengths; ///< every length asked for, in order

    void pause(std::chrono::milliseconds length, std::function<void()> then) override
    {
        if (pending)
            QTest::qFail("a pause was requested while another was pending", __FILE__, __LINE__);
        lengths.push_back(length);
        if (log)
            *log << QStringLiteral("pause %1").arg(length.count());
        pending = std::move(then);
    }
    /// True while a step waits for its pause to end.
    bool waiting() const { return bool(pending); }
    /// Ends the pending pause now and runs its step (which may ask for the next pause).
    void finish()
    {
        if (!pending)
            throw std::logic_error("no pause is pending");
        std::exchange(pending, {})();
    }

private:
    QStringList *log;
    std::function<void()> pending;
};

/// A game on the fakes with the built-in tables loaded and no board dealt yet; pauses log to view.log.
template <class Random = game::ClockSeededRandom>
struct GameRig {
    RecordingView view;
    Random random;
    ManualPauses pauses{&view.log};
    game::Game game{view, random, pauses};

    GameRig() { game.loadTables(charsets::buildCharSets(), charsets::buildSetSizes()); }
};
