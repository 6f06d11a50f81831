// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace game::texts {

inline const QString Prompt = QStringLiteral("ぬもさけり？");
inline const QString SecondPick = QStringLiteral("もうひとつは？");
inline const QString Correct = QStringLiteral("正解");
inline const QString Failed = QStringLiteral("失敗");
inline const QString Changing = QStringLiteral("表示が変わります");

} // namespace game::texts
