// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's floor: a plain Qt Widgets program, sharing no code with the game, that shows the
// game's first screen. A window of the same fixed size with a label, twenty character buttons and
// two side buttons at the same places, in the installed Japanese faces asked for by name at the
// same pixel sizes. The benchmark holds the game against it.
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
    window.setFixedSize(767, 583);

    QLabel *label = new QLabel(QStringLiteral("ぬもさけり？"), &window);
    label->setGeometry(112, 32, 577, 49);
    label->setFont(boldFont("IPAPMincho", 48));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    const QString characters = QStringLiteral("ぬめあおすむさきちらるろはほけりわねれぬ");
    const int columns[] = {104, 216, 328, 448, 568};
    const int rows[] = {152, 248, 344, 440};
    const QFont characterFont = boldFont("IPAPGothic", 48);
    for (int i = 0; i < 20; ++i) {
        QPushButton *button = new QPushButton(characters.mid(i, 1), &window);
        button->setGeometry(columns[i % 5], rows[i / 5], 81, 65);
        button->setFont(characterFont);
    }

    const QFont sideFont = boldFont("IPAPGothic", 16);
    QPushButton *next = new QPushButton(QStringLiteral("次"), &window);
    next->setGeometry(712, 152, 41, 41);
    next->setFont(sideFont);
    QPushButton *quit = new QPushButton(QStringLiteral("終"), &window);
    quit->setGeometry(712, 464, 41, 41);
    quit->setFont(sideFont);

    window.show();
    return app.exec();
}
