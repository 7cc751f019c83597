// The app as it starts for the user, watched from inside: it starts
// exactly as `quorvel` does, waits until the window shows what it is asked
// to wait for, then prints "ready" with the milliseconds since the process
// started, the window's title and every text the window shows, saves the
// window as a PNG when asked, and quits. Tests run it with the QUORVEL_
// variables a case needs; the bench times it.
//
//   quorvel_window_probe [--until TEXT]... [--until-suffix TEXT] [--rows N] [--screen FILE]
//                        [--timeout MS] [--exercise N] [--press TEXT]
//
// With --press, once ready it clicks the first button shown whose text
// begins with TEXT, prints "pressed" and runs on until it is ended: a test
// ends the app in the middle of what the button started.
//
// With --exercise, once ready it scrolls the list down and up and then
// selects its first N conversations one after the other, the way a person
// browses, and prints the longest the window went without handling its
// events ("worst gap") before it quits.
//
// Without --until or --rows it waits for the window's first paint. Exits 3
// when the wait times out (after printing what the window shows).
#include "app/app.h"
#include "app/contentview.h"
#include "app/conversationlist.h"
#include "app/conversationlistmodel.h"
#include "app/mainwindow.h"
#include "model/helpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>
#include <cstdio>
#include <ctime>
#include <functional>
#include <unistd.h>

namespace {

struct Options
{
    QStringList until;
    // A text that ends so ("12 pages").
    QString suffix;
    int rows = 0;
    QString screen;
    int timeout = 60000;
    int exercise = 0;
    QString press;
};

Options parse(const QStringList &arguments)
{
    Options options;
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        const QString &name = arguments[i];
        const QString &value = arguments[i + 1];
        if (name == QLatin1String("--until"))
            options.until.append(value);
        else if (name == QLatin1String("--until-suffix"))
            options.suffix = value;
        else if (name == QLatin1String("--rows"))
            options.rows = value.toInt();
        else if (name == QLatin1String("--screen"))
            options.screen = value;
        else if (name == QLatin1String("--timeout"))
            options.timeout = value.toInt();
        else if (name == QLatin1String("--exercise"))
            options.exercise = value.toInt();
        else if (name == QLatin1String("--press"))
            options.press = value;
    }
    return options;
}

// Milliseconds since this process was started by the kernel.
double sinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Field 22, counted after the command name in parentheses.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble();
    timespec now {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double ticks = double(sysconf(_SC_CLK_TCK));
    return (now.tv_sec + now.tv_nsec / 1e9 - startTicks / ticks) * 1000.0;
}

QStringList visibleTexts(QWidget *root)
{
    QStringList texts;
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(root))
            continue;
        if (auto *label = qobject_cast<QLabel *>(widget); label && !label->text().isEmpty())
            texts.append(label->text());
        else if (auto *button = qobject_cast<QAbstractButton *>(widget); button && !button->text().isEmpty())
            texts.append(button->text());
    }
    return texts;
}

// The sidebar's sections and conversations as the user reads them.
QStringList sidebarRows(ConversationList *list)
{
    ConversationListModel *model = list->model();
    QStringList rows;
    for (int section = 0; section < model->rowCount(); ++section) {
        const QModelIndex index = model->index(section, 0);
        if (ConversationListModel::kind(index) != ConversationListModel::Kind::Section)
            continue;
        rows.append(index.data().toString());
        for (int row = 0; row < model->rowCount(index); ++row) {
            const QModelIndex child = model->index(row, 0, index);
            QString line = child.data().toString();
            const QString detail = child.data(ConversationListModel::DetailRole).toString();
            if (!detail.isEmpty())
                line += QStringLiteral(" | ") + detail;
            rows.append(line);
        }
    }
    return rows;
}

int conversationRows(ConversationList *list)
{
    ConversationListModel *model = list->model();
    int rows = 0;
    for (int section = 0; section < model->rowCount(); ++section) {
        const QModelIndex index = model->index(section, 0);
        for (int row = 0; row < model->rowCount(index); ++row) {
            if (ConversationListModel::kind(model->index(row, 0, index))
                == ConversationListModel::Kind::Conversation)
                ++rows;
        }
    }
    return rows;
}

// Notes each paint of the watched widgets, and the first paint at which
// what is awaited was there to be drawn.
class PaintWatch : public QObject
{
public:
    std::function<bool()> awaited;
    int paints = 0;
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            if (!painted && awaited && awaited())
                painted = true;
        }
        return QObject::eventFilter(watched, event);
    }
};

// The longest the event loop went without running a 2 ms timer: how long
// the window could not answer the user. Measured twice: in wall time, which
// also counts the time the machine gave to other processes, and in the
// window thread's own processor time, which is what the app's own work
// held it up.
class Watchdog : public QObject
{
public:
    Watchdog()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            const double busy = threadSeconds();
            m_worst = std::max(m_worst, (now - m_last) / 1e6);
            m_worstBusy = std::max(m_worstBusy, (busy - m_lastBusy) * 1e3);
            m_last = now;
            m_lastBusy = busy;
        });
    }
    void start()
    {
        m_clock.start();
        m_last = 0;
        m_lastBusy = threadSeconds();
        m_timer.start(2);
    }
    double worst() const { return m_worst; }
    double worstBusy() const { return m_worstBusy; }

private:
    static double threadSeconds()
    {
        timespec now {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return now.tv_sec + now.tv_nsec / 1e9;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    double m_lastBusy = 0;
    double m_worst = 0;
    double m_worstBusy = 0;
};

// Scrolls the list to its end and back, then picks conversations one by
// one, then waits for the last one's book; done() after that.
void exercise(MainWindow *window, int selections, std::function<void(int picked)> done)
{
    ConversationList *list = window->content()->conversationList();
    QTreeView *view = list->view();
    auto *scroll = new QTimer(window);
    auto *down = new bool(true);
    QObject::connect(scroll, &QTimer::timeout, window, [=] {
        QScrollBar *bar = view->verticalScrollBar();
        bar->setValue(bar->value() + (*down ? 40 : -40));
        if (*down && bar->value() >= bar->maximum())
            *down = false;
        else if (!*down && bar->value() <= bar->minimum()) {
            scroll->stop();
            delete down;
            QList<QModelIndex> rows;
            ConversationListModel *model = list->model();
            for (int s = 0; s < model->rowCount() && rows.size() < selections; ++s) {
                const QModelIndex section = model->index(s, 0);
                for (int r = 0; r < model->rowCount(section) && rows.size() < selections; ++r) {
                    const QModelIndex row = model->index(r, 0, section);
                    if (ConversationListModel::kind(row) == ConversationListModel::Kind::Conversation)
                        rows.append(row);
                }
            }
            auto *pick = new QTimer(window);
            auto *next = new int(0);
            QObject::connect(pick, &QTimer::timeout, window, [=] {
                if (*next < rows.size()) {
                    view->scrollTo(rows[*next]);
                    view->selectionModel()->select(rows[*next], QItemSelectionModel::ClearAndSelect);
                    ++*next;
                    return;
                }
                // The last pick's book, or its consent screen, ends the run.
                const ContentView::Detail shown = window->content()->detail();
                if (shown != ContentView::Detail::Reading) {
                    pick->stop();
                    const int picked = *next;
                    delete next;
                    QTimer::singleShot(500, window, [done, picked] { done(picked); });
                }
            });
            pick->start(250);
        }
    });
    scroll->start(12);
}

} // namespace

int main(int argc, char **argv)
{
    if (!App::hasDisplay()) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    QApplication application(argc, argv);
    Helpers::setPackageRoot(QStringLiteral(QUORVEL_TEST_STAGE));
    const Options options = parse(application.arguments());

    App app;
    MainWindow *window = app.window();
    PaintWatch paints;
    window->installEventFilter(&paints);
    ConversationList *list = window->content()->conversationList();
    list->view()->viewport()->installEventFilter(&paints);
    window->show();

    int status = 0;
    Watchdog watchdog;
    // Rows count as shown once the list has painted them.
    paints.awaited = [&] { return options.rows > 0 && conversationRows(list) >= options.rows; };
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        bool ready = true;
        for (const QString &text : options.until)
            ready = ready && visibleTexts(window).contains(text);
        if (!options.suffix.isEmpty()) {
            const QStringList texts = visibleTexts(window);
            ready = ready && std::any_of(texts.begin(), texts.end(), [&](const QString &t) {
                return t.endsWith(options.suffix);
            });
        }
        if (options.rows > 0)
            ready = ready && paints.painted;
        if (options.until.isEmpty() && options.rows == 0 && options.suffix.isEmpty())
            ready = paints.paints > 0;
        const bool late = clock.elapsed() > options.timeout;
        if (!ready && !late)
            return;
        poll.stop();
        status = ready ? 0 : 3;
        std::printf("%s %.1f\n", ready ? "ready" : "timeout", sinceProcessStart());
        // The same moment on the monotonic clock, for a parent that noted
        // when it started this process: the kernel keeps a process's start
        // only to the clock tick (10 ms).
        timespec now {};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("clock %.3f\n", now.tv_sec * 1000.0 + now.tv_nsec / 1e6);
        std::printf("title: %s\n", qPrintable(window->windowTitle()));
        for (const QString &text : visibleTexts(window))
            std::printf("text: %s\n", qPrintable(QString(text).replace(u'\n', u' ')));
        for (const QString &row : sidebarRows(list))
            std::printf("row: %s\n", qPrintable(row));
        std::fflush(stdout);
        if (!options.screen.isEmpty())
            window->grab().save(options.screen);
        if (ready && !options.press.isEmpty()) {
            for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
                if (button->isVisibleTo(window) && button->text().startsWith(options.press)) {
                    button->click();
                    std::printf("pressed\n");
                    std::fflush(stdout);
                    return;
                }
            }
        }
        if (!ready || options.exercise <= 0) {
            QTimer::singleShot(0, &application, &QCoreApplication::quit);
            return;
        }
        watchdog.start();
        exercise(window, options.exercise, [&](int picked) {
            std::printf("exercise: picked %d, worst gap %.1f ms, worst busy %.1f ms\n", picked,
                watchdog.worst(), watchdog.worstBusy());
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    });
    poll.start(2);
    app.exec();
    return status;
}
