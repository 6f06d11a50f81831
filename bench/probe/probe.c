// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * kovelith-probe: starts a program on the current X display and times it from the outside.
 *
 *   kovelith-probe [--timeout S] [--settle S] [--idle S] [--click X,Y]... [--sequence S]
 *                  [--on-paint COMMAND] [--verbose] -- PROGRAM [ARGS...]
 *
 * The probe watches the root window for new windows before it starts the program, puts a Damage
 * object on each, and so sees the program's window being mapped and the first pixels it draws
 * with well under a millisecond of error. Then, unless --on-paint is given, it waits --settle
 * seconds, reads the program's memory, measures CPU time and wakeups over --idle quiet seconds
 * and, with two --click positions (relative to the window), clicks them through XTest and
 * follows the screens that come after the second click for up to --sequence seconds.
 *
 * With --on-paint the probe runs COMMAND through the shell as soon as the first paint is seen,
 * with %p in it replaced by the program's process id, and then ends the program.
 *
 * It prints one line of name=value pairs: times in milliseconds from exec, memory in KiB.
 */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/XTest.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

enum { MaxWatched = 64, MaxDamages = 4096, MaxSamples = 4096, MaxClicks = 2 };

static Display *display;
static int damageEventBase;
static pid_t child;
static double startTime;
static int verbose;

static struct {
    Window window;
    Damage damage;
    int area;
} watched[MaxWatched];
static int watchedCount;

static Window mainWindow;
static int mainArea;
static double mapTime = -1, paintTime = -1;
static int damageCountAfterPaint;

/* Large damage seen on the main window since recordingFrom (set while following a sequence):
   redrawing an eighth of the window or more. Hover and press effects on one button are smaller. */
static double recordingFrom = -1;
static double damageTimes[MaxDamages];
static int damageCount;

struct Sample {
    double time;
    long long cpuNs;
    long long runs;
};

static double now(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

static void fail(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    fputs("kovelith-probe: ", stderr);
    vfprintf(stderr, format, args);
    fputc('\n', stderr);
    va_end(args);
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, NULL, 0);
    }
    exit(1);
}

static int ignoreXError(Display *d, XErrorEvent *e)
{
    /* Windows may be gone before their Damage object is made or freed. */
    (void)d;
    (void)e;
    return 0;
}

/* CPU time and the number of times scheduled in, summed over all threads of the program. */
static struct Sample sample(void)
{
    struct Sample s = {now(), 0, 0};
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/task", (int)child);
    DIR *tasks = opendir(path);
    if (!tasks)
        return s;
    struct dirent *entry;
    while ((entry = readdir(tasks))) {
        if (entry->d_name[0] == '.')
            continue;
        char statPath[300];
        snprintf(statPath, sizeof statPath, "%s/%s/schedstat", path, entry->d_name);
        FILE *f = fopen(statPath, "r");
        if (!f)
            continue;
        long long cpu = 0, waiting = 0, runs = 0;
        if (fscanf(f, "%lld %lld %lld", &cpu, &waiting, &runs) == 3) {
            s.cpuNs += cpu;
            s.runs += runs;
        }
        fclose(f);
    }
    closedir(tasks);
    return s;
}

static long memoryField(const char *name)
{
    char path[64], line[256];
    snprintf(path, sizeof path, "/proc/%d/smaps_rollup", (int)child);
    FILE *f = fopen(path, "r");
    if (!f)
        return -1;
    long value = -1;
    size_t length = strlen(name);
    while (fgets(line, sizeof line, f)) {
        if (strncmp(line, name, length) == 0 && line[length] == ':') {
            value = strtol(line + length + 1, NULL, 10);
            break;
        }
    }
    fclose(f);
    return value;
}

static void handleEvent(XEvent *event)
{
    double t = now() - startTime;
    if (event->type == CreateNotify && event->xcreatewindow.parent == DefaultRootWindow(display)) {
        /* The Damage object must exist before the window can be drawn on, so it is made at
           creation, not at mapping. */
        if (watchedCount < MaxWatched) {
            Window w = event->xcreatewindow.window;
            watched[watchedCount].window = w;
            watched[watchedCount].damage = XDamageCreate(display, w, XDamageReportRawRectangles);
            watched[watchedCount].area = event->xcreatewindow.width * event->xcreatewindow.height;
            ++watchedCount;
        }
        if (verbose)
            fprintf(stderr, "%9.3f create 0x%lx %dx%d%s\n", t, event->xcreatewindow.window,
                    event->xcreatewindow.width, event->xcreatewindow.height,
                    event->xcreatewindow.override_redirect ? " override" : "");
    } else if (event->type == MapNotify) {
        if (verbose)
            fprintf(stderr, "%9.3f map 0x%lx\n", t, event->xmap.window);
        if (!mainWindow && !event->xmap.override_redirect) {
            mainWindow = event->xmap.window;
            mapTime = t;
            for (int i = 0; i < watchedCount; ++i) {
                if (watched[i].window == mainWindow)
                    mainArea = watched[i].area;
            }
        }
    } else if (event->type == damageEventBase + XDamageNotify) {
        XDamageNotifyEvent *damage = (XDamageNotifyEvent *)event;
        if (verbose)
            fprintf(stderr, "%9.3f damage 0x%lx %dx%d+%d+%d\n", t, damage->drawable, damage->area.width,
                    damage->area.height, damage->area.x, damage->area.y);
        if (damage->drawable != mainWindow || mapTime < 0)
            return;
        if (paintTime < 0)
            paintTime = t;
        else
            ++damageCountAfterPaint;
        if (recordingFrom >= 0 && t >= recordingFrom && damageCount < MaxDamages
            && damage->area.width * damage->area.height * 8 >= mainArea)
            damageTimes[damageCount++] = t;
    }
}

/* Handles X events until the deadline (ms since exec) or until done() says so, calling tick()
   at least every tickMs. */
static void runUntil(double deadline, int (*done)(void), void (*tick)(void), int tickMs)
{
    struct pollfd fd = {ConnectionNumber(display), POLLIN, 0};
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            handleEvent(&event);
        }
        if (tick)
            tick();
        if (done && done())
            return;
        double left = deadline - (now() - startTime);
        if (left <= 0)
            return;
        int timeout = (int)left + 1;
        if (tick && timeout > tickMs)
            timeout = tickMs;
        if (poll(&fd, 1, timeout) < 0 && errno != EINTR)
            fail("poll: %s", strerror(errno));
    }
}

static int childGone(void)
{
    int status;
    return waitpid(child, &status, WNOHANG) == child;
}

static int painted(void)
{
    if (paintTime >= 0)
        return 1;
    if (childGone()) {
        child = 0;
        fail("the program ended before it painted");
    }
    return 0;
}

static void pauseFor(double ms)
{
    runUntil(now() - startTime + ms, NULL, NULL, 0);
}

static void endChild(void)
{
    if (child <= 0)
        return;
    kill(child, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (waitpid(child, NULL, WNOHANG) == child) {
            child = 0;
            return;
        }
        usleep(10000);
    }
    kill(child, SIGKILL);
    waitpid(child, NULL, 0);
    child = 0;
}

static struct Sample samples[MaxSamples];
static int sampleCount;

static void takeSample(void)
{
    if (sampleCount < MaxSamples)
        samples[sampleCount++] = sample();
}

static void click(int x, int y)
{
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XFlush(display);
    pauseFor(300); /* let hover effects settle so they are not taken for the game's answer */
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
}

/* Prints how long a screen stood, from its first pixels to the next screen's, and the program's CPU
   use in between, leaving out a margin at both ends where the drawing itself happens. */
static void reportPause(const char *name, double first, double lastBefore, double firstAfter)
{
    const double margin = 50;
    printf(" %s_ms=%.1f", name, firstAfter - first);
    const struct Sample *from = NULL, *to = NULL;
    for (int i = 0; i < sampleCount; ++i) {
        double t = samples[i].time - startTime;
        if (!from && t >= lastBefore + margin)
            from = &samples[i];
        if (t <= firstAfter - margin)
            to = &samples[i];
    }
    if (from && to && to->time > from->time) {
        printf(" %s_cpu_pct=%.3f %s_wakeups=%lld", name, (to->cpuNs - from->cpuNs) / 1e4 / (to->time - from->time),
               name, to->runs - from->runs);
    }
}

static int sequenceOver(void)
{
    /* Three bursts of drawing: the answer, the hidden board, the next board. */
    int bursts = damageCount > 0;
    for (int i = 1; i < damageCount; ++i)
        bursts += damageTimes[i] - damageTimes[i - 1] > 300;
    return bursts >= 3 && now() - startTime - damageTimes[damageCount - 1] > 500;
}

int main(int argc, char **argv)
{
    double timeout = 30, settle = 1, idle = 3, sequence = 8;
    const char *onPaint = NULL;
    int clicks[MaxClicks][2], clickCount = 0;
    int i = 1;
    for (; i < argc && strcmp(argv[i], "--") != 0; ++i) {
        const char *value = i + 1 < argc ? argv[i + 1] : NULL;
        if (!strcmp(argv[i], "--verbose")) {
            verbose = 1;
            continue;
        }
        if (!value)
            fail("%s needs a value", argv[i]);
        if (!strcmp(argv[i], "--timeout"))
            timeout = atof(value);
        else if (!strcmp(argv[i], "--settle"))
            settle = atof(value);
        else if (!strcmp(argv[i], "--idle"))
            idle = atof(value);
        else if (!strcmp(argv[i], "--sequence"))
            sequence = atof(value);
        else if (!strcmp(argv[i], "--on-paint"))
            onPaint = value;
        else if (!strcmp(argv[i], "--click") && clickCount < MaxClicks
                 && sscanf(value, "%d,%d", &clicks[clickCount][0], &clicks[clickCount][1]) == 2)
            ++clickCount;
        else
            fail("unknown option %s %s", argv[i], value);
        ++i;
    }
    if (i + 1 >= argc)
        fail("usage: kovelith-probe [options] -- PROGRAM [ARGS...]");
    char **program = argv + i + 1;

    display = XOpenDisplay(NULL);
    if (!display)
        fail("cannot open the display");
    int errorBase, major, minor;
    if (!XDamageQueryExtension(display, &damageEventBase, &errorBase))
        fail("the X server has no DAMAGE extension");
    if (!XTestQueryExtension(display, &errorBase, &errorBase, &major, &minor))
        fail("the X server has no XTEST extension");
    XSetErrorHandler(ignoreXError);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    /* The pointer waits in the screen's far corner, so no button starts under it hovered. */
    XTestFakeMotionEvent(display, DefaultScreen(display), DisplayWidth(display, DefaultScreen(display)) - 1,
                         DisplayHeight(display, DefaultScreen(display)) - 1, CurrentTime);
    XSync(display, False);
    fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);

    startTime = now();
    int error = posix_spawnp(&child, program[0], NULL, NULL, program, environ);
    if (error)
        fail("cannot start %s: %s", program[0], strerror(error));

    runUntil(timeout * 1000, painted, NULL, 0);
    if (paintTime < 0)
        fail("no window was painted within %g s", timeout);
    struct Sample atPaint = sample();
    printf("map_ms=%.3f paint_ms=%.3f cpu_to_paint_ms=%.1f", mapTime, paintTime, atPaint.cpuNs / 1e6);

    if (onPaint) {
        char command[4096];
        char *out = command;
        for (const char *p = onPaint; *p && out < command + sizeof command - 16; ++p) {
            if (p[0] == '%' && p[1] == 'p') {
                out += sprintf(out, "%d", (int)child);
                ++p;
            } else {
                *out++ = *p;
            }
        }
        *out = 0;
        fflush(stdout);
        if (system(command) != 0)
            fprintf(stderr, "kovelith-probe: \"%s\" failed\n", command);
        endChild();
        putchar('\n');
        return 0;
    }

    pauseFor(settle * 1000);
    printf(" rss_kb=%ld pss_kb=%ld private_kb=%ld", memoryField("Rss"), memoryField("Pss"),
           memoryField("Private_Clean") + memoryField("Private_Dirty"));

    struct Sample idleStart = sample();
    pauseFor(idle * 1000);
    struct Sample idleEnd = sample();
    printf(" idle_cpu_ms=%.3f idle_wakeups=%lld", (idleEnd.cpuNs - idleStart.cpuNs) / 1e6,
           idleEnd.runs - idleStart.runs);
    printf(" repaints_while_idle=%d", damageCountAfterPaint);

    if (clickCount == 2) {
        int x, y;
        Window unused;
        XTranslateCoordinates(display, mainWindow, DefaultRootWindow(display), 0, 0, &x, &y, &unused);
        click(x + clicks[0][0], y + clicks[0][1]);
        pauseFor(300);
        click(x + clicks[1][0], y + clicks[1][1]);
        double clicked = now() - startTime;
        recordingFrom = clicked;
        runUntil(clicked + sequence * 1000, sequenceOver, takeSample, 20);

        /* Split the drawing after the click into bursts: the answer, the hidden board, the next. */
        double firsts[8], lasts[8];
        int bursts = 0;
        for (int k = 0; k < damageCount; ++k) {
            if (k == 0 || damageTimes[k] - damageTimes[k - 1] > 300) {
                if (bursts == 8)
                    break;
                firsts[bursts++] = damageTimes[k];
            }
            lasts[bursts - 1] = damageTimes[k];
        }
        if (bursts >= 3) {
            printf(" answer_ms=%.1f", firsts[0] - clicked);
            reportPause("pause1", firsts[0], lasts[0], firsts[1]);
            reportPause("pause2", firsts[1], lasts[1], firsts[2]);
            printf(" sequence_ms=%.1f", firsts[2] - clicked);
        } else {
            fprintf(stderr, "kovelith-probe: saw %d bursts of drawing after the clicks, not 3\n", bursts);
        }
    }
    putchar('\n');
    endChild();
    return 0;
}
