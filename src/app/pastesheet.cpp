#include "pastesheet.h"

#include "model/backups.h"
#include "model/chatfiles.h"
#include "model/helpers.h"
#include "model/library.h"
#include "ui/errors.h"
#include "ui/style.h"

#include <QDir>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

PasteSheet::PasteSheet(Library *library, QWidget *parent)
    : Sheet(parent, 560)
    , m_library(library)
    , m_name(new QLineEdit(this))
    , m_text(new QPlainTextEdit(this))
    , m_error(new ErrorRow(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Paste a Chat"));

    QLabel *title = Style::label(QStringLiteral("Paste a chat"), Style::Text::Title2);
    title->setFont(Style::font(Style::Text::Title2, Style::Weight::Semibold));
    body()->addWidget(title);
    body()->addWidget(Style::label(
        QStringLiteral("Each message on its own line, with a date, a time and who sent it, the way WhatsApp "
                       "exports: “1/31/25, 9:41 PM - Sam: hey”."),
        Style::Text::Body, Style::Tone::Secondary));

    m_name->setPlaceholderText(QStringLiteral("Who it's with"));
    m_name->setAccessibleName(m_name->placeholderText());
    body()->addWidget(m_name);

    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPixelSize(Style::font(Style::Text::Body).pixelSize());
    m_text->setFont(mono);
    m_text->setMinimumHeight(220);
    m_text->setTabChangesFocus(true);
    m_text->setAccessibleName(QStringLiteral("The chat"));
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    body()->addWidget(m_text, 1);
    body()->addWidget(m_error);

    QPushButton *cancel = addButton(QStringLiteral("Cancel"), Role::Cancel);
    m_add = addButton(QStringLiteral("Add Chat"), Role::Confirm);
    setDefaultButton(m_add);
    m_add->setEnabled(false);

    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_add, &QPushButton::clicked, this, &PasteSheet::add);
    connect(m_text, &QPlainTextEdit::textChanged, this,
        [this] { m_add->setEnabled(!m_text->toPlainText().trimmed().isEmpty()); });
    m_name->setFocus();
}

QString PasteSheet::error() const
{
    return m_error->isVisibleTo(this) ? m_error->text() : QString();
}

void PasteSheet::add()
{
    if (!m_add->isEnabled() || m_adding)
        return;
    addTask(m_text->toPlainText(), m_name->text());
}

QCoro::Task<void> PasteSheet::addTask(QString text, QString name)
{
    QPointer<PasteSheet> self(this);
    QPointer<Library> library = m_library;
    m_adding = true;
    std::optional<Source> source;
    try {
        source = ChatFiles::paste(text, name.isEmpty() ? QStringLiteral("Pasted chat") : name);
        // The tool must read it as a chat before it becomes a source.
        co_await Helpers::core({ QStringLiteral("chats") }, *source);
        // Closing the sheet meanwhile doesn't take the chat back.
        if (library)
            co_await library->add(*source);
    } catch (const std::exception &failure) {
        // Nothing refers to a pasted chat that didn't read.
        if (source) {
            if (const std::optional<QString> folder = Backups::folder(*source))
                QDir(*folder).removeRecursively();
        }
        if (!self)
            co_return;
        m_adding = false;
        const QString line = Errors::toolLine(failure);
        m_error->setError(line.trimmed().isEmpty() ? QString() : line);
        co_return;
    }
    if (!self)
        co_return;
    m_adding = false;
    accept();
}
