#include "wrappedinspector.h"

#include "model/color.h"
#include "themeswatch.h"
#include "ui/colorwell.h"
#include "ui/errors.h"
#include "ui/icons.h"
#include "ui/segmentedcontrol.h"
#include "ui/style.h"
#include "wrappedview.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

using Format = WrappedSettings::Format;
using Names = WrappedSettings::Names;
using Theme = WrappedSettings::Theme;

const QList<Format> formats { Format::Story, Format::Post };
const QList<Names> namings { Names::Initials, Names::Full, Names::Custom };

QString capitalised(const QString &text)
{
    return text.left(1).toUpper() + text.mid(1);
}

// A section's body: its parts one under another, edge to edge.
QVBoxLayout *stacked(QWidget *part, int spacing)
{
    auto *column = new QVBoxLayout(part);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    return column;
}

QLabel *note(const QString &text)
{
    QLabel *label = Style::label(text, Style::Text::Caption, Style::Tone::Secondary);
    label->setWordWrap(true);
    return label;
}

} // namespace

WrappedInspector::WrappedInspector(WrappedView *view)
    : QWidget(nullptr)
    , m_view(view)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(20);
    m_yearSection = section(QStringLiteral("Which messages"), buildYears());
    column->addWidget(m_yearSection);
    column->addWidget(section(QStringLiteral("Shape"), buildShape()));
    column->addWidget(section(QStringLiteral("Names on the cards"), buildNames()));
    column->addWidget(section(QStringLiteral("Look"), buildLook()));
    column->addWidget(section(QStringLiteral("Sharing for a reward"), buildSharing()));
    column->addWidget(section(QStringLiteral("Save"), buildSave()));
    column->addStretch(1);
}

WrappedInspector::~WrappedInspector() = default;

QWidget *WrappedInspector::errorLine() const
{
    return m_yearError->isHidden() ? m_error : m_yearError;
}

QWidget *WrappedInspector::section(const QString &title, QWidget *content)
{
    auto *part = new QWidget;
    QVBoxLayout *column = stacked(part, 8);
    column->addWidget(Style::label(title, Style::Text::Headline));
    column->addWidget(content);
    return part;
}

QWidget *WrappedInspector::buildYears()
{
    auto *part = new QWidget;
    QVBoxLayout *column = stacked(part, 8);
    m_years = new QComboBox;
    m_years->setAccessibleName(QStringLiteral("Which messages"));
    connect(m_years, &QComboBox::activated, this, [this](int index) {
        const int year = m_years->itemData(index).toInt();
        m_view->pickYear(year == 0 ? std::nullopt : std::optional<int>(year));
    });
    column->addWidget(m_years);
    m_yearError = new ErrorRow;
    column->addWidget(m_yearError);
    return part;
}

SegmentedControl *WrappedInspector::segments(const QString &name, const QStringList &labels)
{
    auto *control = new SegmentedControl;
    control->setLabels(labels);
    control->setObjectName(name);
    control->setAccessibleName(name);
    // As wide as the panel, like every control in it.
    control->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return control;
}

QWidget *WrappedInspector::buildShape()
{
    m_shape
        = segments(QStringLiteral("Shape"), { QStringLiteral("Story · 9:16"), QStringLiteral("Post · 1:1") });
    connect(m_shape, &SegmentedControl::activated, this,
        [this](int index) { change([&](WrappedSettings &s) { s.format = formats[index]; }); });
    return m_shape;
}

QWidget *WrappedInspector::buildNames()
{
    auto *part = new QWidget;
    QVBoxLayout *column = stacked(part, 8);
    QStringList labels;
    for (const Names names : namings)
        labels.append(capitalised(WrappedSettings::namesName(names)));
    m_names = segments(QStringLiteral("Names"), labels);
    connect(m_names, &SegmentedControl::activated, this,
        [this](int index) { change([&](WrappedSettings &s) { s.names = namings[index]; }); });
    column->addWidget(m_names);
    m_customNames = new QWidget;
    m_customFields = stacked(m_customNames, 6);
    column->addWidget(m_customNames);
    column->addWidget(note(QStringLiteral(
        "A card has numbers, dates, names and each person's most-used word. No message is quoted.")));
    return part;
}

QWidget *WrappedInspector::buildLook()
{
    auto *part = new QWidget;
    QVBoxLayout *column = stacked(part, 10);

    auto *swatches = new QHBoxLayout;
    swatches->setSpacing(8);
    for (const Theme theme : WrappedSettings::themes()) {
        auto *swatch = new ThemeSwatch(theme);
        connect(swatch, &QAbstractButton::clicked, this,
            [this, theme] { change([&](WrappedSettings &s) { s.theme = theme; }); });
        swatches->addWidget(swatch, 0, Qt::AlignVCenter);
        m_swatches.append(swatch);
    }
    swatches->addStretch(1);
    column->addLayout(swatches);

    m_colours = new QWidget;
    QVBoxLayout *wells = stacked(m_colours, 6);
    const QList<std::pair<QString, QString WrappedSettings::*>> colours {
        { QStringLiteral("Background"), &WrappedSettings::background },
        { QStringLiteral("Text"), &WrappedSettings::ink },
        { QStringLiteral("Accent"), &WrappedSettings::accent },
    };
    for (const auto &[name, field] : colours) {
        auto *well = new ColorWell(name, [this, field = field](const QColor &picked) {
            change([&](WrappedSettings &s) { s.*field = Color::hex(picked).toUpper(); });
        });
        auto *row = new QHBoxLayout;
        row->addWidget(Style::label(name, Style::Text::Body));
        row->addStretch(1);
        row->addWidget(well);
        wells->addLayout(row);
        m_wells.append(well);
    }
    column->addWidget(m_colours);

    auto *typefaceRow = new QHBoxLayout;
    typefaceRow->setSpacing(8);
    QLabel *typefaceLabel = Style::label(QStringLiteral("Typeface"), Style::Text::Body);
    typefaceRow->addWidget(typefaceLabel);
    m_typeface = new QComboBox;
    m_typeface->setAccessibleName(QStringLiteral("Typeface"));
    // On Linux a drop-down menu reads its choice as its name; the label is
    // heard through the tie.
    typefaceLabel->setBuddy(m_typeface);
    for (const WrappedSettings::Typeface typeface : WrappedSettings::typefaces())
        m_typeface->addItem(WrappedSettings::label(typeface));
    connect(m_typeface, &QComboBox::activated, this, [this](int index) {
        change([&](WrappedSettings &s) { s.typeface = WrappedSettings::typefaces().at(index); });
    });
    typefaceRow->addWidget(m_typeface, 1);
    column->addLayout(typefaceRow);
    return part;
}

QWidget *WrappedInspector::buildSharing()
{
    auto *part = new QWidget;
    QVBoxLayout *column = stacked(part, 8);
    m_disclose = new QCheckBox(QStringLiteral("Put #ad on the cards and video"));
    connect(m_disclose, &QCheckBox::toggled, this,
        [this](bool on) { change([&](WrappedSettings &s) { s.disclose = on; }); });
    column->addWidget(m_disclose);
    column->addWidget(
        note(QStringLiteral("A post that earns 10% off or a free book is an ad, so it needs #ad on the card "
                            "and at the start of the caption. A paid-partnership label counts if the caption "
                            "has #ad too.")));
    return part;
}

QWidget *WrappedInspector::buildSave()
{
    auto *part = new QWidget;
    QVBoxLayout *column = stacked(part, 8);

    m_count = Style::label(QString(), Style::Text::Callout, Style::Tone::Secondary);
    column->addWidget(m_count);
    m_saveCards
        = new QPushButton(Icons::icon(QStringLiteral("photo.on.rectangle")), QStringLiteral("Save Cards…"));
    m_saveVideo = new QPushButton(Icons::icon(QStringLiteral("film")), QStringLiteral("Save Video…"));
    m_copyCaption
        = new QPushButton(Icons::icon(QStringLiteral("text.quote")), QStringLiteral("Copy Caption"));
    for (QPushButton *button : { m_saveCards, m_saveVideo, m_copyCaption })
        column->addWidget(button);
    connect(m_saveCards, &QPushButton::clicked, this, [this] { m_view->saveCards(); });
    connect(m_saveVideo, &QPushButton::clicked, this, [this] { m_view->saveVideo(); });
    connect(m_copyCaption, &QPushButton::clicked, this, [this] { m_view->copyCaption(); });

    m_progress = new QWidget;
    QVBoxLayout *progress = stacked(m_progress, 4);
    progress->setContentsMargins(0, 4, 0, 0);
    progress->addWidget(Style::label(QStringLiteral("Making the video"), Style::Text::Caption));
    m_progressBar = new QProgressBar;
    m_progressBar->setRange(0, 1000);
    m_progressBar->setTextVisible(false);
    m_progressBar->setFixedHeight(6);
    m_progressBar->setAccessibleName(QStringLiteral("Making the video"));
    progress->addWidget(m_progressBar);
    column->addWidget(m_progress);

    // On this desktop a share goes by the clipboard: the files are put on
    // it as a file list and shown in the file manager, ready to drop.
    m_exported = new QWidget;
    QVBoxLayout *exported = stacked(m_exported, 4);
    exported->setContentsMargins(0, 4, 0, 0);
    m_share = new QPushButton(Icons::icon(QStringLiteral("square.and.arrow.up")), QStringLiteral("Share…"));
    auto *menu = new QMenu(m_share);
    QAction *copyFiles
        = menu->addAction(Icons::icon(QStringLiteral("doc.on.clipboard")), QStringLiteral("Copy Files"));
    copyFiles->setToolTip(
        QStringLiteral("Puts the files on the clipboard and shows them in the file manager."));
    connect(copyFiles, &QAction::triggered, this, [this] { m_view->shareExported(); });
    m_share->setMenu(menu);
    exported->addWidget(m_share);
    auto *reveal = new QPushButton(QStringLiteral("Show in File Manager"));
    Style::setLink(reveal);
    connect(reveal, &QPushButton::clicked, this, [this] { m_view->revealExported(); });
    exported->addWidget(reveal, 0, Qt::AlignLeft);
    column->addWidget(m_exported);

    m_error = new ErrorRow;
    column->addWidget(m_error);
    return part;
}

void WrappedInspector::change(const std::function<void(WrappedSettings &)> &edit)
{
    WrappedSettings settings = m_view->settings();
    edit(settings);
    m_view->setSettings(settings);
}

void WrappedInspector::refresh()
{
    const WrappedSettings &settings = m_view->settings();
    refreshYears();
    m_shape->setCurrentIndex(int(formats.indexOf(settings.format)));
    m_names->setCurrentIndex(int(namings.indexOf(settings.names)));
    refreshNames();
    for (ThemeSwatch *swatch : m_swatches)
        swatch->setLook(settings);
    m_colours->setVisible(settings.theme == Theme::Custom);
    const QList<QString> hexes { settings.background, settings.ink, settings.accent };
    for (qsizetype i = 0; i < m_wells.size(); ++i)
        m_wells[i]->setColour(Color::fromHex(hexes[i]).value_or(Qt::black));
    m_typeface->setCurrentIndex(int(WrappedSettings::typefaces().indexOf(settings.typeface)));
    {
        const QSignalBlocker quiet(m_disclose);
        m_disclose->setChecked(settings.disclose);
    }
    refreshSave();
    refreshError();
}

void WrappedInspector::refreshYears()
{
    const Wrapped &wrapped = m_view->wrapped();
    m_yearSection->setVisible(wrapped.years.size() >= 2);
    QList<int> years;
    for (const Wrapped::Year &year : wrapped.years)
        years.append(year.year);
    if (years != m_yearsShown) {
        const QSignalBlocker quiet(m_years);
        m_years->clear();
        m_years->addItem(QStringLiteral("All of it"), 0);
        for (auto year = wrapped.years.crbegin(); year != wrapped.years.crend(); ++year)
            m_years->addItem(
                QStringLiteral("%1 (%2)").arg(year->year).arg(Style::number(year->count)), year->year);
        m_yearsShown = years;
    }
    const QSignalBlocker quiet(m_years);
    m_years->setCurrentIndex(std::max(0, m_years->findData(wrapped.year.value_or(0))));
    m_years->setEnabled(!m_view->isLoadingYear());
}

void WrappedInspector::refreshNames()
{
    const Wrapped &wrapped = m_view->wrapped();
    const WrappedSettings &settings = m_view->settings();
    m_customNames->setVisible(settings.names == Names::Custom);
    if (wrapped.people != m_namedPeople) {
        for (QLineEdit *field : m_nameFields)
            delete field;
        m_nameFields.clear();
        QStringList everyone;
        for (const Wrapped::Person &person : wrapped.people)
            everyone.append(person.name);
        for (const Wrapped::Person &person : wrapped.people) {
            auto *field = new QLineEdit;
            field->setPlaceholderText(WrappedSettings::initials(person.name, everyone));
            field->setToolTip(person.name);
            field->setAccessibleName(person.name);
            // Every edit keeps the whole text, an empty one too.
            connect(field, &QLineEdit::textEdited, this, [this, id = person.id](const QString &typed) {
                change([&](WrappedSettings &s) { s.custom.insert(id, typed); });
            });
            m_customFields->addWidget(field);
            m_nameFields.append(field);
        }
        m_namedPeople = wrapped.people;
    }
    for (qsizetype i = 0; i < m_nameFields.size(); ++i) {
        // A field being typed in is left alone.
        const QString saved = settings.custom.value(wrapped.people[i].id);
        if (!m_nameFields[i]->hasFocus() && m_nameFields[i]->text() != saved)
            m_nameFields[i]->setText(saved);
    }
}

void WrappedInspector::refreshSave()
{
    const WrappedSettings &settings = m_view->settings();
    m_count->setText(QStringLiteral("%1 of %2 cards in the share")
                         .arg(settings.selection.size())
                         .arg(m_view->wrapped().cards.size()));
    const bool canSave = !settings.selection.isEmpty() && !m_view->exporting();
    // A button disabled under the focus drops it (Qt passes it on or
    // clears it, and the next save button goes the same way): the focus
    // waits on the button it left and comes back to it.
    for (QPushButton *button : { m_saveCards, m_saveVideo }) {
        if (!canSave && button->hasFocus())
            m_focusAfterSave = button;
    }
    m_saveCards->setEnabled(canSave);
    m_saveVideo->setEnabled(canSave);
    if (canSave && m_focusAfterSave) {
        QWidget *now = window()->focusWidget();
        if (!now || !now->isVisible() || isAncestorOf(now))
            m_focusAfterSave->setFocus(Qt::OtherFocusReason);
        m_focusAfterSave = nullptr;
    }
    m_copyCaption->setText(
        m_view->isCaptionCopied() ? QStringLiteral("Copied") : QStringLiteral("Copy Caption"));
    m_copyCaption->setToolTip(m_view->caption());
    const std::optional<double> progress = m_view->videoProgress();
    m_progress->setVisible(progress.has_value());
    m_progressBar->setValue(int(std::lround(progress.value_or(0) * 1000)));
    m_exported->setVisible(!m_view->exported().isEmpty());
}

void WrappedInspector::refreshError()
{
    // Told where the user is looking: beside what they just did.
    const QString sentence = m_view->error().value_or(QString());
    const bool byYears = m_view->failed() == WrappedView::Failed::YearChoice && !m_yearSection->isHidden();
    m_yearError->setError(byYears ? sentence : QString());
    m_error->setError(byYears ? QString() : sentence);
}
