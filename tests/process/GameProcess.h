#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>

#include <chrono>

/// A private home, runtime and temporary directory for the copies of the game that one test starts,
/// so that tests see neither each other's locks nor a game the developer is playing.
class Sandbox {
public:
    Sandbox();
    QString path(const QString &name) const { return dir.filePath(name); }
    QProcessEnvironment environment() const;

private:
    QTemporaryDir dir;
};

/// The real game, driven from outside as a player does: xdotool finds its window and clicks, the
/// screen is read back from the X server, and /proc tells how much processor time it used.
class GameProcess {
public:
    static constexpr QSize WindowSize{767, 583};
    static constexpr QRect Label{112, 32, 577, 49};
    static constexpr QRect Board{64, 120, 633, 417};

    /// Starts the game; with a barrier (a FIFO) it first waits for a line from it.
    explicit GameProcess(const QProcessEnvironment &environment, const QString &barrier = {});
    ~GameProcess();

    qint64 pid() const { return process.processId(); }
    bool waitForWindow(std::chrono::milliseconds timeout = std::chrono::seconds(15));
    QRect geometry() const { return windowRect; }
    QString title() const;

    /// Character button i, its marker bar and the quit button, in window coordinates.
    static QRect button(int i);
    static QRect marker(int i);
    static QRect quitButton() { return {704 + 8, 120 + 344, 41, 41}; }

    /// Clicks at the centre of a rectangle of the window, then moves the pointer off the window;
    /// without waiting, the click is under way when this returns.
    void click(const QRect &target, bool wait = true);
    void clickButton(int i) { click(button(i)); }
    /// Asks the window to close as a window manager's close box does (WM_DELETE_WINDOW).
    void requestClose();

    /// The window as it is on the screen now.
    QImage screenshot() const;

    bool waitForExit(std::chrono::milliseconds timeout) { return process.waitForFinished(int(timeout.count())); }
    bool isRunning() const { return process.state() != QProcess::NotRunning; }
    int exitCode() const { return process.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return process.exitStatus(); }
    QByteArray output();
    void kill();
    /// Processor time used so far, user and system together.
    std::chrono::milliseconds cpuTime() const;

    /// Visible windows titled "ぬもさけり？", of any copy of the game.
    static int windowCount();

private:
    QProcess process;
    QProcess clicker;
    unsigned long windowId = 0;
    QRect windowRect;
};

/// Runs xdotool with the space-separated arguments given and returns what it printed.
QString xdotool(const QString &arguments);
