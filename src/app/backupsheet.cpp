#include "backupsheet.h"

#include "model/backups.h"
#include "model/helpers.h"
#include "model/library.h"
#include "ui/desktop.h"
#include "ui/errors.h"
#include "ui/icons.h"
#include "ui/spinner.h"
#include "ui/style.h"
#include "ui/textwrap.h"

#include <QAbstractButton>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Where the message tool looks for backups, in its order: the app's own
// folder of them, where idevicebackup2 is usually pointed, a Mac's folder
// copied over. The panel starts in the first that is there.
QString backupFolder()
{
    for (const QString &folder : { Helpers::support() + QStringLiteral("/iPhone Backups"),
             QDir::homePath() + QStringLiteral("/MobileSync/Backup"),
             QDir::homePath() + QStringLiteral("/Library/Application Support/MobileSync/Backup") }) {
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QDir::homePath();
}

// One backup: the phone, its name, when it was made and its iOS, a lock
// when it is encrypted. A button on the list, a plain row once chosen.
class BackupRow : public QAbstractButton
{
public:
    BackupRow(const BackupInfo &backup, bool clickable, QWidget *parent = nullptr)
        : QAbstractButton(parent)
        , m_clickable(clickable)
    {
        setText(backup.device);
        if (clickable) {
            setCursor(Qt::PointingHandCursor);
        } else {
            // Shown as the list showed it, but not something to press.
            setAttribute(Qt::WA_TransparentForMouseEvents);
            setFocusPolicy(Qt::NoFocus);
        }
        setAttribute(Qt::WA_Hover);

        auto *phone = new QLabel(this);
        phone->setPixmap(Icons::pixmap(QStringLiteral("iphone"), 17, Style::brand()));
        phone->setFixedWidth(28);
        phone->setAlignment(Qt::AlignCenter);
        QLabel *device = Style::label(backup.device, Style::Text::Body);
        device->setWordWrap(false);
        QString when = backup.when();
        if (backup.ios)
            when += QStringLiteral(" · iOS ") + *backup.ios;
        QLabel *made = Style::label(when, Style::Text::Caption, Style::Tone::Secondary);
        made->setWordWrap(false);
        auto *texts = new QVBoxLayout;
        texts->setSpacing(1);
        texts->addWidget(device);
        texts->addWidget(made);

        auto *row = new QHBoxLayout(this);
        row->setContentsMargins(10, 10, 10, 10);
        row->setSpacing(12);
        row->addWidget(phone);
        row->addLayout(texts, 1);
        if (backup.encrypted) {
            auto *lock = new QLabel(this);
            lock->setPixmap(
                Icons::pixmap(QStringLiteral("lock.fill"), 14, Style::color(Style::Tone::Secondary)));
            lock->setToolTip(QStringLiteral("Encrypted"));
            row->addWidget(lock);
        }
        auto *chevron = new QLabel(this);
        chevron->setPixmap(
            Icons::pixmap(QStringLiteral("chevron.right"), 10, Style::color(Style::Tone::Tertiary)));
        row->addWidget(chevron);
        // Labels pass clicks on to the row.
        for (QLabel *label : findChildren<QLabel *>())
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    QSize sizeHint() const override { return layout()->sizeHint(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor fill = Style::color(Style::Tone::Quaternary);
        fill.setAlphaF(fill.alphaF() * (m_clickable && underMouse() ? 0.9 : 0.5));
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), 8, 8);
        painter.fillPath(path, fill);
    }

private:
    bool m_clickable;
};

// The dashed target a backup folder is dropped on, with the panel's button.
class DropZone : public QWidget
{
public:
    std::function<void(QString)> dropped;

    explicit DropZone(QPushButton *button, QWidget *parent = nullptr)
        : QWidget(parent)
    {
        setAcceptDrops(true);
        auto *symbol = new QLabel(this);
        symbol->setPixmap(Icons::pixmap(
            QStringLiteral("iphone.and.arrow.forward"), 22, Style::color(Style::Tone::Secondary)));
        symbol->setAlignment(Qt::AlignCenter);
        QLabel *text = Style::label(
            QStringLiteral("Drop a backup folder here"), Style::Text::Body, Style::Tone::Secondary);
        text->setAlignment(Qt::AlignCenter);
        auto *column = new QVBoxLayout(this);
        column->setContentsMargins(18, 18, 18, 18);
        column->setSpacing(8);
        column->addWidget(symbol);
        column->addWidget(text);
        column->addWidget(button, 0, Qt::AlignHCenter);
    }

    bool isDropping() const { return m_dropping; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor stroke = Style::color(Style::Tone::Secondary);
        stroke.setAlphaF(stroke.alphaF() * 0.4);
        QPen pen(m_dropping ? Style::brand() : stroke, 1.5);
        pen.setDashPattern({ 5 / 1.5, 5 / 1.5 });
        painter.setPen(pen);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), 10, 10);
    }
    void dragEnterEvent(QDragEnterEvent *event) override
    {
        if (!event->mimeData()->hasUrls())
            return;
        event->acceptProposedAction();
        setDropping(true);
    }
    void dragLeaveEvent(QDragLeaveEvent *) override { setDropping(false); }
    void dropEvent(QDropEvent *event) override
    {
        setDropping(false);
        event->acceptProposedAction();
        // Only the first item counts.
        const QList<QUrl> urls = event->mimeData()->urls();
        if (!urls.isEmpty() && urls.first().isLocalFile() && dropped)
            dropped(urls.first().toLocalFile());
    }

private:
    void setDropping(bool dropping)
    {
        m_dropping = dropping;
        update();
    }

    bool m_dropping = false;
};

QLabel *headline(const QString &text)
{
    return Style::label(text, Style::Text::Headline);
}

} // namespace

BackupSheet::BackupSheet(Library *library, QWidget *parent)
    : Sheet(parent, 520)
    , m_library(library)
    , m_content(new QVBoxLayout)
    , m_error(new ErrorRow(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("iPhone Backup"));
    body()->setSpacing(16);

    QLabel *title = Style::label(QStringLiteral("Make a book from an iPhone backup"), Style::Text::Title2);
    title->setFont(Style::font(Style::Text::Title2, Style::Weight::Semibold));
    body()->addWidget(title);
    body()->addWidget(
        Style::label(QStringLiteral("The backup is read on this computer, like everything else. It "
                                    "also holds the photos your iPhone kept, which your computer "
                                    "often doesn't."),
            Style::Text::Body, Style::Tone::Secondary));
    m_content->setContentsMargins(0, 0, 0, 0);
    body()->addLayout(m_content);
    body()->addWidget(m_error);

    m_back = addButton(QStringLiteral("Back"), Role::Other);
    QPushButton *cancel = addButton(QStringLiteral("Cancel"), Role::Cancel);
    m_primary = addButton(QStringLiteral("Read This Backup"), Role::Confirm);
    setDefaultButton(m_primary);

    connect(m_back, &QPushButton::clicked, this, &BackupSheet::back);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_primary, &QPushButton::clicked, this, [this] {
        if (m_chosen && m_primary->isEnabled())
            read(*m_chosen);
    });
    refresh();
}

bool BackupSheet::hasContent(const BackupInfo &backup)
{
    return backup.messages || backup.whatsapp.value_or(false) || (!backup.whatsapp && backup.encrypted);
}

void BackupSheet::showEvent(QShowEvent *event)
{
    Sheet::showEvent(event);
    if (!m_looked && !m_listing)
        listBackups();
}

QCoro::Task<void> BackupSheet::listBackups()
{
    QPointer<BackupSheet> self(this);
    m_listing = true;
    const std::optional<QList<BackupInfo>> found = co_await Backups::list();
    if (!self)
        co_return;
    m_listing = false;
    m_found = found;
    m_looked = true;
    refresh();
}

void BackupSheet::choose(const BackupInfo &backup)
{
    setError({});
    m_chosen = backup;
    refresh();
    // A backup that needs nothing more is read at once.
    if (!backup.encrypted && (backup.messages || backup.whatsapp.value_or(false)))
        read(backup);
}

void BackupSheet::back()
{
    if (m_working)
        return;
    m_chosen.reset();
    if (m_password)
        m_password->clear();
    setError({});
    refresh();
}

void BackupSheet::lookAt(const QString &folder)
{
    look(folder);
}

QCoro::Task<void> BackupSheet::look(QString folder)
{
    QPointer<BackupSheet> self(this);
    setError({});
    try {
        const BackupInfo backup = co_await Backups::info(folder);
        if (!self)
            co_return;
        choose(backup);
    } catch (...) {
        if (self)
            setError(Errors::sentence(std::current_exception()));
    }
}

void BackupSheet::chooseFolder()
{
    chooseFolderTask();
}

QCoro::Task<void> BackupSheet::chooseFolderTask()
{
    QPointer<BackupSheet> self(this);
    Desktop::Panel panel;
    panel.mode = Desktop::Panel::Mode::OpenFolder;
    panel.title = QStringLiteral("Choose a Backup Folder");
    panel.prompt = QStringLiteral("Use Backup");
    panel.directory = backupFolder();
    const QStringList chosen = co_await Desktop::instance().choose(this, panel);
    if (!self || chosen.isEmpty())
        co_return;
    look(chosen.first());
}

QCoro::Task<void> BackupSheet::read(BackupInfo backup)
{
    QPointer<BackupSheet> self(this);
    QPointer<Library> library = m_library;
    m_working = true;
    setError({});
    refresh();
    const std::optional<QString> password
        = backup.encrypted ? std::optional(m_password ? m_password->text() : QString()) : std::nullopt;
    try {
        const Source source = co_await Backups::unlock(backup, password);
        if (self && m_password)
            m_password->clear();
        // Closing the sheet meanwhile doesn't stop the backup being added;
        // with the library gone (the app ending), nothing would name what
        // unlocking wrote.
        if (library)
            co_await library->add(source);
        else
            co_await Backups::forget(source);
        if (!self)
            co_return;
        m_working = false;
        accept();
    } catch (const std::exception &failure) {
        if (!self)
            co_return;
        m_working = false;
        const QString line = Errors::toolLine(failure);
        setError(line.trimmed().isEmpty() ? QString() : line);
        refresh();
    }
}

void BackupSheet::setError(const QString &error)
{
    m_errorText = error;
    m_error->setError(error);
}

BackupSheet::View BackupSheet::view() const
{
    if (m_chosen)
        return View::Chosen;
    if (m_found && !m_found->isEmpty())
        return View::List;
    return m_looked ? View::Steps : View::Loading;
}

void BackupSheet::refresh()
{
    const View wanted = view();
    if (m_shown != wanted)
        rebuild(wanted);
    const bool chosen = m_chosen.has_value();
    m_back->setVisible(chosen && !m_working);
    m_primary->setVisible(chosen);
    if (chosen) {
        m_primary->setText(
            m_chosen->encrypted ? QStringLiteral("Unlock") : QStringLiteral("Read This Backup"));
        m_primary->setEnabled(!m_working && hasContent(*m_chosen)
            && !(m_chosen->encrypted && (!m_password || m_password->text().isEmpty())));
    }
    if (m_password)
        m_password->setEnabled(!m_working);
    if (m_workingRow)
        m_workingRow->setVisible(m_working);
    fitToContent();
}

void BackupSheet::rebuild(View view)
{
    if (m_view) {
        m_view->hide();
        m_view->deleteLater();
    }
    m_password = nullptr;
    m_workingRow = nullptr;
    m_view = view == View::Chosen ? unlockView(*m_chosen) : chooseView(view);
    m_content->addWidget(m_view);
    m_view->show();
    m_shown = view;
    if (m_password)
        m_password->setFocus();
}

QWidget *BackupSheet::chooseView(View view)
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(16);
    switch (view) {
    case View::List: {
        auto *list = new QVBoxLayout;
        list->setSpacing(6);
        list->addWidget(headline(QStringLiteral("On this computer")));
        for (const BackupInfo &backup : *m_found) {
            auto *row = new BackupRow(backup, true);
            connect(row, &QAbstractButton::clicked, this, [this, backup] { choose(backup); });
            list->addWidget(row);
        }
        column->addLayout(list);
        break;
    }
    case View::Steps: {
        auto *steps = new QVBoxLayout;
        steps->setSpacing(8);
        steps->addWidget(headline(QStringLiteral("To make one")));
        // The commands stand on lines of their own, to be copied into a
        // terminal as they are.
        const auto command = [](const QString &line) {
            QLabel *label = Style::label(line, Style::Text::Body, Style::Tone::Secondary);
            QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
            fixed.setPointSizeF(label->font().pointSizeF());
            label->setFont(fixed);
            label->setWordWrap(false);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            label->setContentsMargins(16, 0, 0, 0);
            return label;
        };
        // The sentences around them never end on a word alone.
        const auto prose = [](const QString &text) {
            QLabel *label = Style::label(text);
            TextWrap::keep(label, TextWrap::Lines::NoLoneWord);
            return label;
        };
        steps->addWidget(prose(QStringLiteral(
            "1. Connect your iPhone to this computer and unlock it. With libimobiledevice (Debian's "
            "libimobiledevice-utils), run:")));
        steps->addWidget(command(QStringLiteral("mkdir -p ~/MobileSync/Backup")));
        steps->addWidget(command(QStringLiteral("idevicebackup2 backup --full ~/MobileSync/Backup")));
        steps->addWidget(prose(QStringLiteral("Encrypted backups work too, with their password.")));
        steps->addWidget(prose(QStringLiteral("2. Or make the backup with Finder or the Apple Devices app "
                                              "on another computer, and copy its folder to this one.")));
        steps->addWidget(prose(QStringLiteral(
            "3. Backups in ~/MobileSync/Backup show up here by themselves. Anywhere else, choose or drop the "
            "backup's folder, the one named with a long string of letters and numbers.")));
        column->addLayout(steps);
        break;
    }
    case View::Loading:
    case View::Chosen:
        column->addWidget(new Spinner(Spinner::Size::Regular), 0, Qt::AlignHCenter);
        break;
    }
    auto *choose = new QPushButton(QStringLiteral("Choose Backup Folder…"));
    auto *zone = new DropZone(choose);
    zone->dropped = [this](const QString &folder) { lookAt(folder); };
    connect(choose, &QPushButton::clicked, this, &BackupSheet::chooseFolder);
    column->addWidget(zone);
    return page;
}

QWidget *BackupSheet::unlockView(const BackupInfo &backup)
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(16);
    column->addWidget(new BackupRow(backup, false));
    if (!hasContent(backup)) {
        column->addWidget(Style::label(
            QStringLiteral(
                "This backup has no messages or WhatsApp chats in it. Back up again with all of the "
                "data: idevicebackup2 backup --full, or “all of the data on your iPhone” in Finder or "
                "the Apple Devices app."),
            Style::Text::Body, Style::Tone::Secondary));
    } else if (backup.encrypted) {
        m_password = new QLineEdit;
        m_password->setEchoMode(QLineEdit::Password);
        m_password->setPlaceholderText(QStringLiteral("Backup password"));
        m_password->setAccessibleName(m_password->placeholderText());
        connect(m_password, &QLineEdit::textChanged, this, &BackupSheet::refresh);
        column->addWidget(m_password);
        column->addWidget(Style::label(
            QStringLiteral(
                "It's the password you chose when you turned on encrypted backups (with idevicebackup2, "
                "in Finder or in the Apple Devices app), not your iPhone's passcode. It stays on this "
                "computer."),
            Style::Text::Caption, Style::Tone::Secondary));
    }
    m_workingRow = new QWidget;
    auto *working = new QHBoxLayout(m_workingRow);
    working->setContentsMargins(0, 0, 0, 0);
    working->setSpacing(8);
    working->addWidget(new Spinner(Spinner::Size::Small));
    working->addWidget(
        Style::label(backup.encrypted ? QStringLiteral("Unlocking the backup. This takes a few seconds.")
                                      : QStringLiteral("Reading the backup"),
            Style::Text::Body, Style::Tone::Secondary),
        1);
    column->addWidget(m_workingRow);
    return page;
}
