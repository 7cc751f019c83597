#include "mainwindow.h"

#include "contentview.h"
#include "model/helpers.h"
#include "ui/style.h"
#include "ui/windowtoolbar.h"
#include "updater.h"

#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>

MainWindow::MainWindow(Library *library, Updater *updater, QWidget *parent)
    : QMainWindow(parent)
    , m_updater(updater)
    , m_toolbar(new WindowToolbar(this))
    , m_content(new ContentView(library, this))
{
    setObjectName(QStringLiteral("main"));
    setWindowTitle(m_content->title());
    setUnifiedTitleAndToolBarOnMac(true);
    addToolBar(Qt::TopToolBarArea, m_toolbar);
    setCentralWidget(m_content);
    m_content->setMinimumSize(980, 640);
    resize(1280, 820);
    buildMenus();

    connect(m_content, &ContentView::titleChanged, this, &QWidget::setWindowTitle);
}

void MainWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction *quit = file->addAction(QStringLiteral("Quit Quorvel"), qApp, &QApplication::quit);
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction *about = help->addAction(QStringLiteral("About Quorvel"), this, &MainWindow::showAbout);
    about->setMenuRole(QAction::AboutRole);
    // Right after About, as on every platform the updater knows.
    m_checkForUpdates
        = help->addAction(QStringLiteral("Check for Updates…"), m_updater, &Updater::checkForUpdates);
    m_checkForUpdates->setMenuRole(QAction::ApplicationSpecificRole);
    m_checkForUpdates->setEnabled(!m_updater->key().isEmpty());
}

void MainWindow::showAbout()
{
    auto *box = new QMessageBox(this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(QStringLiteral("About Quorvel"));
    box->setText(QStringLiteral("%1 %2").arg(Helpers::appName(), QStringLiteral(QUORVEL_VERSION)));
    box->setInformativeText(QStringLiteral("Turns one conversation into a printed book."));
    box->setStandardButtons(QMessageBox::Ok);
    Style::setAlertLook(box);
    box->setWindowModality(Qt::WindowModal);
    box->open();
}
