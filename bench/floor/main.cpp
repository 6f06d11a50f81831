// SPDX-License-Identifier: GPL-3.0-or-later
// The least Qt Widgets program that shows the game's first screen: a window of the same fixed
// size with the same label, twenty character buttons and the two side buttons, in the same fonts
// and places. No icon, no lock, no game: the benchmark holds the game against it, and anything
// the game does beyond this shows as a difference.
#include "ui/Fonts.h"
#include "ui/Layout.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include <utility>

namespace layout = ui::layout;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ui::fonts::installSubstitutions();

    const QString prompt = QStringLiteral("ぬもさけり？");
    QWidget window;
    window.setWindowTitle(prompt);
    window.setFixedSize(layout::ClientSize);

    auto *label = new QLabel(prompt, &window);
    label->setGeometry(layout::Label1);
    label->setFont(ui::fonts::mincho(36));
    label->setAlignment(Qt::AlignCenter);

    const QString characters = QStringLiteral("ぬめあおすむさきちらるろはほけりわねれぬ");
    const QFont characterFont = ui::fonts::gothic(36);
    for (int i = 0; i < 20; ++i) {
        auto *button = new QPushButton(characters.mid(i, 1), &window);
        button->setGeometry(layout::button(i).translated(layout::Picture1.topLeft()));
        button->setFont(characterFont);
    }

    // The game's side buttons, in their smaller face.
    const QFont sideFont = ui::fonts::gothic(12);
    for (const auto &[text, geometry] : {std::pair{QStringLiteral("次"), layout::Command2},
                                         std::pair{QStringLiteral("終"), layout::Command3}}) {
        auto *button = new QPushButton(text, &window);
        button->setGeometry(geometry.translated(layout::Picture2.topLeft()));
        button->setFont(sideFont);
    }

    window.show();
    return app.exec();
}
