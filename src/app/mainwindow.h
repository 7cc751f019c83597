#pragma once

#include <QMainWindow>

class ContentView;
class Library;
class QAction;
class Updater;
class WindowToolbar;

// The one window: 1280 × 820 at first, never smaller than 980 × 640 with
// its menu bar and toolbar, the
// toolbar the screens fill, the menus, and the content that routes between
// the screens. Its title is the content's.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(Library *library, Updater *updater, QWidget *parent = nullptr);

    ContentView *content() const { return m_content; }
    WindowToolbar *toolbar() const { return m_toolbar; }
    QAction *checkForUpdatesAction() const { return m_checkForUpdates; }

private:
    void buildMenus();
    void showAbout();

    Updater *m_updater;
    WindowToolbar *m_toolbar;
    ContentView *m_content;
    QAction *m_checkForUpdates = nullptr;
};
