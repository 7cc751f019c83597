#include "accessview.h"

#include "model/library.h"
#include "sourceadder.h"
#include "ui/icons.h"
#include "ui/style.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AccessView::AccessView(Library *library, SourceAdder *adder, QWidget *parent)
    : QWidget(parent)
    , m_library(library)
    , m_adder(adder)
{
    auto *symbol = new QLabel(this);
    symbol->setPixmap(Icons::pixmap(QStringLiteral("lock.shield"), 44, Style::color(Style::Tone::Secondary)));
    symbol->setAlignment(Qt::AlignCenter);

    QLabel *title = Style::label(QStringLiteral("Quorvel needs to read your messages"), Style::Text::Title2);
    title->setFont(Style::font(Style::Text::Title2, Style::Weight::Semibold));
    title->setAlignment(Qt::AlignCenter);

    QLabel *text = Style::label(
        QStringLiteral(
            "Your messages stay on this computer. Quorvel reads the Messages database copied from a "
            "Mac into Library/Messages in your home folder, an iPhone backup, or a chat exported "
            "from another app."),
        Style::Text::Body, Style::Tone::Secondary);
    text->setAlignment(Qt::AlignCenter);
    text->setMaximumWidth(440);
    // Stretches, not an alignment, centre it: an aligned label keeps its
    // one-line size hint and loses the lines it wraps onto.
    auto *textRow = new QHBoxLayout;
    textRow->addStretch(1);
    textRow->addWidget(text, 100);
    textRow->addStretch(1);

    auto *openFolder = new QPushButton(QStringLiteral("Open the Messages Folder"), this);
    Style::setProminent(openFolder);
    auto *checkAgain = new QPushButton(QStringLiteral("Check Again"), this);
    for (QPushButton *button : { openFolder, checkAgain }) {
        button->setAutoDefault(false);
        button->setMinimumHeight(30);
    }
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addStretch(1);
    buttons->addWidget(openFolder);
    buttons->addWidget(checkAgain);
    buttons->addStretch(1);

    QLabel *phoneOnly = Style::label(QStringLiteral("Messages only on your iPhone?"), Style::Text::Headline);
    phoneOnly->setAlignment(Qt::AlignCenter);
    QLabel *backItUp = Style::label(
        QStringLiteral("Back it up to this computer, or copy a backup made on another one, and make the "
                       "book from the backup."),
        Style::Text::Body, Style::Tone::Secondary);
    backItUp->setAlignment(Qt::AlignCenter);
    auto *backup = new QPushButton(QStringLiteral("Use an iPhone Backup…"), this);
    auto *chatFile = new QPushButton(QStringLiteral("Chat File…"), this);
    auto *paste = new QPushButton(QStringLiteral("Paste a Chat…"), this);
    for (QPushButton *link : { backup, chatFile, paste })
        Style::setLink(link);
    auto *others = new QHBoxLayout;
    others->setSpacing(18);
    others->addStretch(1);
    others->addWidget(chatFile);
    others->addWidget(paste);
    others->addStretch(1);

    auto *alternatives = new QVBoxLayout;
    alternatives->setSpacing(6);
    alternatives->setContentsMargins(0, 16, 0, 0);
    alternatives->addWidget(phoneOnly);
    alternatives->addWidget(backItUp);
    alternatives->addWidget(backup, 0, Qt::AlignHCenter);
    alternatives->addLayout(others);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(40, 40, 40, 40);
    column->setSpacing(20);
    column->addStretch(1);
    column->addWidget(symbol);
    column->addWidget(title);
    column->addLayout(textRow);
    column->addLayout(buttons);
    column->addLayout(alternatives);
    column->addStretch(1);

    connect(openFolder, &QPushButton::clicked, this, [this] { SourceAdder::openMessagesFolder(this); });
    connect(checkAgain, &QPushButton::clicked, this, [this] { m_library->load(); });
    connect(backup, &QPushButton::clicked, this, [this] { m_adder->addBackup(this); });
    connect(chatFile, &QPushButton::clicked, this, [this] { m_adder->chooseFile(this); });
    connect(paste, &QPushButton::clicked, this, [this] { m_adder->paste(this); });
    // Coming back from copying the database in: look again.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive && isVisible())
            m_library->load();
    });
}
