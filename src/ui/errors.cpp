#include "errors.h"

#include "model/helpers.h"
#include "style.h"

#include <QEvent>
#include <QMessageBox>
#include <QStringList>

namespace Errors {

QString sentence(const std::exception &error)
{
    return QString::fromUtf8(error.what());
}

QString sentence(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        return sentence(e);
    } catch (...) {
        return QStringLiteral("Something went wrong that Quorvel can't describe.");
    }
}

QString lastLine(const std::exception &error)
{
    const auto *failure = dynamic_cast<const Helpers::Failure *>(&error);
    if (!failure)
        return sentence(error);
    const QStringList lines = failure->message().split(QLatin1Char('\n'));
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (!line->trimmed().isEmpty())
            return *line;
    }
    return failure->message();
}

QString toolLine(const std::exception &error)
{
    if (!dynamic_cast<const Helpers::Failure *>(&error))
        return sentence(error);
    QString line = lastLine(error);
    line.remove(QStringLiteral("Error: "));
    return line;
}

QMessageBox *alert(QWidget *parent, const QString &title, const QString &sentence)
{
    auto *box = new QMessageBox(QMessageBox::NoIcon, title, title, QMessageBox::Ok, parent);
    box->setInformativeText(sentence);
    Style::setAlertLook(box);
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}

} // namespace Errors

ErrorLabel::ErrorLabel(QWidget *parent)
    : QLabel(parent)
{
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFont(Style::font(Style::Text::Callout));
    recolour();
    hide();
}

void ErrorLabel::setError(const QString &sentence)
{
    setText(sentence);
    setVisible(!sentence.isEmpty());
}

void ErrorLabel::setError(const std::exception &error)
{
    setError(Errors::sentence(error));
}

void ErrorLabel::clear()
{
    setError(QString());
}

void ErrorLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange)
        recolour();
}

void ErrorLabel::recolour()
{
    // A label takes its text role from the ground it lies on (Text on a
    // field's, ButtonText on a button's), so every one of them is coloured.
    QPalette p = palette();
    for (const QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        p.setColor(role, Style::error());
    setPalette(p);
}

ErrorRow::ErrorRow(QWidget *parent)
    : StatusLine(Style::Text::Callout, parent)
{ }

void ErrorRow::setError(const QString &sentence)
{
    setStatus(sentence.isEmpty() ? std::nullopt : std::optional(Status::failure(sentence)));
}

void ErrorRow::clear()
{
    setError(QString());
}
