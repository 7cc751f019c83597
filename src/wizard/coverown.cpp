#include "coverown.h"

#include "model/color.h"
#include "ui/colorwell.h"
#include "ui/formsection.h"
#include "ui/segmentedcontrol.h"
#include "ui/style.h"
#include "wizardlook.h"
#include "wizardmodel.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QStringList labelsOf(const QList<CoverOwn::Choice> &choices)
{
    QStringList labels;
    for (const CoverOwn::Choice &choice : choices)
        labels.append(choice.label);
    return labels;
}

int indexOf(const QList<CoverOwn::Choice> &choices, const QString &key)
{
    for (int i = 0; i < choices.size(); ++i) {
        if (choices[i].key == key)
            return i;
    }
    return -1;
}

} // namespace

const QList<CoverOwn::Choice> &CoverOwn::typefaces()
{
    static const QList<Choice> choices { { QStringLiteral("Garamond"), QStringLiteral("garamond") },
        { QStringLiteral("Palatino"), QStringLiteral("pagella") },
        { QStringLiteral("Libertinus"), QStringLiteral("libertinus") },
        { QStringLiteral("Computer Modern"), QStringLiteral("modern") },
        { QStringLiteral("Typewriter"), QStringLiteral("mono") } };
    return choices;
}

const QList<CoverOwn::Choice> &CoverOwn::positions()
{
    static const QList<Choice> choices { { QStringLiteral("Top"), QStringLiteral("top") },
        { QStringLiteral("Middle"), QStringLiteral("middle") },
        { QStringLiteral("Bottom"), QStringLiteral("bottom") } };
    return choices;
}

const QList<CoverOwn::Choice> &CoverOwn::fits()
{
    static const QList<Choice> choices { { QStringLiteral("In a Frame"), QStringLiteral("framed") },
        { QStringLiteral("Whole Cover"), QStringLiteral("bleed") } };
    return choices;
}

CoverOwn::CoverOwn(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_background(new ColorWell(QStringLiteral("Cover"),
          [this](const QColor &colour) { setHex(&Design::Cover::Custom::background, colour); }))
    , m_ink(new ColorWell(QStringLiteral("Lettering"),
          [this](const QColor &colour) { setHex(&Design::Cover::Custom::ink, colour); }))
    , m_typeface(new QComboBox)
    , m_position(new SegmentedControl)
    , m_fit(new SegmentedControl)
{
    setObjectName(QStringLiteral("coverOwn"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *form = new FormSection;
    outer->addWidget(form);

    m_typeface->setAccessibleName(QStringLiteral("Typeface"));
    m_typeface->addItems(labelsOf(typefaces()));
    m_typeface->setMinimumWidth(150);
    m_position->setLabels(labelsOf(positions()));
    m_position->setAccessibleName(QStringLiteral("Title"));
    m_position->setFont(Style::font(Style::Text::Callout));
    m_fit->setLabels(labelsOf(fits()));
    m_fit->setAccessibleName(QStringLiteral("Picture"));
    m_fit->setFont(Style::font(Style::Text::Callout));

    form->addRow(row(QStringLiteral("Cover"), m_background));
    form->addRow(row(QStringLiteral("Lettering"), m_ink));
    form->addRow(row(QStringLiteral("Typeface"), m_typeface));
    form->addRow(row(QStringLiteral("Title"), m_position));
    m_fitRow = form->addRow(row(QStringLiteral("Picture"), m_fit));
    m_remove = new QPushButton(QStringLiteral("Remove the Picture"));
    m_remove->setAutoDefault(false);
    Style::setDestructive(m_remove);
    auto *removeLine = new QWidget;
    auto *removeLayout = new QHBoxLayout(removeLine);
    removeLayout->setContentsMargins(0, 0, 0, 0);
    removeLayout->addStretch(1);
    removeLayout->addWidget(m_remove);
    m_removeRow = form->addRow(removeLine);
    m_hintRow = form->addRow(Style::label(
        QStringLiteral("Add a photo or a painted picture from the other tabs, and it goes on your design."),
        Style::Text::Caption, Style::Tone::Secondary));

    connect(m_typeface, &QComboBox::activated, this, [this](int index) {
        Design::Cover::Custom record = custom();
        record.font = typefaces().at(index).key;
        setCustom(record);
    });
    connect(m_position, &SegmentedControl::activated, this, [this](int index) {
        Design::Cover::Custom record = custom();
        record.position = positions().at(index).key;
        setCustom(record);
    });
    connect(m_fit, &SegmentedControl::activated, this, [this](int index) {
        Design design = m_model->design();
        design.cover.fit = fits().at(index).key;
        m_model->setDesign(design);
    });
    connect(m_remove, &QPushButton::clicked, this, [this] {
        Design design = m_model->design();
        design.cover.image.reset();
        m_model->setDesign(design);
    });
    connect(model, &WizardModel::designChanged, this, &CoverOwn::refresh);
    refresh();
}

QAbstractButton *CoverOwn::background() const
{
    return m_background;
}

QAbstractButton *CoverOwn::ink() const
{
    return m_ink;
}

QWidget *CoverOwn::row(const QString &label, QWidget *control)
{
    // The control at the trailing edge, as a desktop form sets them.
    auto *line = new QWidget;
    auto *layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(12);
    layout->addWidget(Style::label(label, Style::Text::Body));
    layout->addStretch(1);
    layout->addWidget(control, 0, Qt::AlignVCenter);
    return line;
}

void CoverOwn::appear()
{
    Design design = m_model->design();
    design.cover.style = QStringLiteral("custom");
    if (!design.cover.custom)
        design.cover.custom = Design::Cover::Custom();
    m_model->setDesign(design);
}

Design::Cover::Custom CoverOwn::custom() const
{
    return m_model->design().cover.custom.value_or(Design::Cover::Custom());
}

void CoverOwn::setCustom(const Design::Cover::Custom &custom)
{
    Design design = m_model->design();
    design.cover.custom = custom;
    m_model->setDesign(design);
}

void CoverOwn::setHex(QString Design::Cover::Custom::*field, const QColor &colour)
{
    Design::Cover::Custom record = custom();
    record.*field = Color::hex(colour);
    setCustom(record);
}

void CoverOwn::refresh()
{
    const Design::Cover &cover = m_model->design().cover;
    const Design::Cover::Custom record = custom();
    m_background->setColour(Color::fromHex(record.background).value_or(Style::brand()));
    m_ink->setColour(Color::fromHex(record.ink).value_or(Style::brand()));
    m_typeface->setCurrentIndex(indexOf(typefaces(), record.font));
    m_position->setCurrentIndex(indexOf(positions(), record.position));
    const bool picture = cover.image.has_value();
    m_fitRow->setVisible(picture);
    m_removeRow->setVisible(picture);
    m_hintRow->setVisible(!picture);
    m_fit->setCurrentIndex(indexOf(fits(), cover.fit.value_or(QStringLiteral("framed"))));
}
