// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's floor: a plain Qt Widgets program, sharing no code with the game, that shows the
// game's first screen. A window of the same fixed size with a label, twenty character buttons and
// two side buttons at the same places, in the installed Japanese faces asked for by name at the
// same pixel sizes. The benchmark holds the game against it. The places come from the tests' table
// of expected pixels, which is no code of the game's.
#include "../../tests/support/ExpectedLayout.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

static QFont boldFont(const char *family, int pixelSize)
{
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QWidget window;
    window.setWindowTitle(QStringLiteral("ぬもさけり？"));
    window.setFixedSize(expected::ClientSize);

    QLabel *label = new QLabel(QStringLiteral("ぬもさけり？"), &window);
    label->setGeometry(expected::PromptLabel);
    label->setFont(boldFont("IPAPMincho", 48));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    const QString characters = QStringLiteral("ぬめあおすむさきちらるろはほけりわねれぬ");
    const QFont characterFont = boldFont("IPAPGothic", 48);
    for (int i = 0; i < 20; ++i) {
        QPushButton *button = new QPushButton(characters.mid(i, 1), &window);
        button->setGeometry(expected::button(i));
        button->setFont(characterFont);
    }

    const QFont sideFont = boldFont("IPAPGothic", 16);
    QPushButton *next = new QPushButton(QStringLiteral("次"), &window);
    next->setGeometry(expected::NextSetButton);
    next->setFont(sideFont);
    QPushButton *quit = new QPushButton(QStringLiteral("終"), &window);
    quit->setGeometry(expected::QuitButton);
    quit->setFont(sideFont);

    window.show();
    return app.exec();
}
