// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Game.h"

#include "game/Texts.h"

namespace game {

namespace {

void checkPosition(Int16 position)
{
    if (position < 0 || position >= PositionCount)
        throw std::out_of_range("no character button at this position");
}

} // namespace

Game::Game(BoardView &boardView, RandomSource &randomSource, Pauses &pauseTimer)
    : view(boardView), random(randomSource), pauses(pauseTimer)
{
}

void Game::loadTables(charsets::CharSetTable charSets, charsets::SetSizeTable setSizes)
{
    s.CharSets = std::move(charSets);
    s.SetSizes = std::move(setSizes);
    s.SetCount = toInt16(static_cast<long long>(s.CharSets.size()));
    if (s.SetCount == 0 || s.SetSizes.size() != s.CharSets.size())
        throw std::length_error("character tables do not match");
    for (Int16 set = 0; set < s.SetCount; ++set) {
        // Checked once here rather than at every deal: a smaller set could never fill a board, and a
        // larger one would draw member indices beyond a deal's flags.
        const Int16 size = s.SetSizes.at(set);
        if (size < MinimumSetSize || size > MaximumSetSize || size > Int16(s.CharSets.at(set).size()))
            throw std::length_error("a character set is too small or too large to deal from");
    }
    s.CurrentSet = 0;
}

Int16 Game::drawPosition()
{
    return scaledDraw(PositionCount, random.next());
}

Int16 Game::drawCharacter()
{
    return scaledDraw(s.SetSizes.at(s.CurrentSet), random.next());
}

void Game::DealBoard()
{
    for (Int16 i = 0; i < PositionCount; ++i)
        view.setMarkerVisible(i, false);
    if (currentPhase != Phase::Verdict) // a verdict ends only once its new board is shown
        currentPhase = Phase::NoPick;

    s.PairPosA = drawPosition();
    do {
        s.PairPosB = drawPosition();
    } while (s.PairPosB == s.PairPosA);

    s.UsedChars.fill(0);
    s.AnswerIndex = drawCharacter();
    s.UsedChars.at(s.AnswerIndex) = 1;

    const auto &members = s.CharSets.at(s.CurrentSet);
    for (Int16 k = 0; k < PositionCount; ++k) {
        if (k == s.PairPosA || k == s.PairPosB) {
            view.setButtonCaption(k, members.at(s.AnswerIndex));
            continue;
        }
        Int16 c;
        do {
            c = drawCharacter(); // a character already on the board is drawn again
        } while (s.UsedChars.at(c) == 1);
        s.UsedChars.at(c) = 1;
        view.setButtonCaption(k, members.at(c));
    }
    view.setLabelText(texts::Prompt);
}

void Game::nextSet()
{
    if (currentPhase == Phase::Verdict) // the verdict deals the next board itself
        return;
    s.CurrentSet = toInt16(s.CurrentSet + 1);
    if (s.CurrentSet >= s.SetCount)
        s.CurrentSet = 0;
    DealBoard();
}

void Game::pick(Int16 position)
{
    checkPosition(position);
    switch (currentPhase) {
    case Phase::NoPick:
        s.FirstPick = position;
        currentPhase = Phase::OnePick;
        view.setMarkerVisible(position, true);
        view.setLabelText(texts::SecondPick);
        break;
    case Phase::OnePick:
        if (position != s.FirstPick) {
            startVerdict(position);
            break;
        }
        currentPhase = Phase::NoPick;
        view.setMarkerVisible(position, false);
        view.setLabelText(texts::Prompt);
        break;
    case Phase::Verdict:
        break;
    }
}

void Game::startVerdict(Int16 position)
{
    currentPhase = Phase::Verdict;
    const auto isPair = [this](Int16 at) { return at == s.PairPosA || at == s.PairPosB; };
    view.setLabelText(isPair(s.FirstPick) && isPair(position) ? texts::Correct : texts::Failed);
    for (Int16 i = 0; i < PositionCount; ++i)
        view.setMarkerVisible(i, false);
    view.setMarkerVisible(s.PairPosA, true);
    view.setMarkerVisible(s.PairPosB, true);
    pauses.pause(RevealPause, [this] { showNotice(); });
}

void Game::showNotice()
{
    view.setLabelText(texts::Changing);
    view.setBoardVisible(false);
    pauses.pause(NoticePause, [this] { dealAfterVerdict(); });
}

void Game::dealAfterVerdict()
{
    DealBoard();
    view.setBoardVisible(true);
    currentPhase = Phase::NoPick;
}

} // namespace game
