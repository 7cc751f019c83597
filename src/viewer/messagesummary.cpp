#include "messagesummary.h"

#include "model/day.h"
#include "project/project.h"
#include "ui/clampedlabel.h"
#include "ui/style.h"

#include <QLabel>

MessageSummary::MessageSummary(const Project &project, const BookFile::Message &message, QWidget *parent)
    : FormSection({}, {}, parent)
{
    auto *text = new ClampedLabel(3);
    text->setText(textOf(project, message));
    addRow(text);
    QLabel *sent = Style::label(longDay(message.at.left(10)), Style::Text::Body, Style::Tone::Secondary);
    sent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    addRow(QStringLiteral("Sent"), sent);
}

QString MessageSummary::textOf(const Project &project, const BookFile::Message &message)
{
    const QString text = message.text ? project.shownText(message) : QString();
    return text.isEmpty() ? QStringLiteral("Attachment") : text;
}
