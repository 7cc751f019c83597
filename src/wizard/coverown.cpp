#include "coverown.h"

#include "app/style.h"
#include "model/color.h"
#include "segmentedcontrol.h"
#include "wizardlook.h"
#include "wizardmodel.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

// A colour well: the colour in a rounded swatch; a click opens the picker.
class ColorWell : public QAbstractButton
{
public:
    explicit ColorWell(const QString &name, QWidget *parent = nullptr)
        : QAbstractButton(parent)
    {
        setAccessibleName(name);
        setToolTip(name);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        setFixedSize(46, 24);
    }

    QColor colour() const { return m_colour; }
    void setColour(const QColor &colour)
    {
        if (m_colour == colour)
            return;
        m_colour = colour;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF outer = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        QPainterPath frame;
        frame.addRoundedRect(outer, 6, 6);
        painter.fillPath(frame, WizardLook::cardFill());
        painter.setPen(QPen(WizardLook::cardEdge().darker(isDown() ? 160 : 100), 1));
        painter.drawPath(frame);
        QPainterPath swatch;
        swatch.addRoundedRect(outer.adjusted(3.5, 3.5, -3.5, -3.5), 3.5, 3.5);
        painter.fillPath(swatch, m_colour);
        QColor edge = Style::color(Style::Tone::Primary);
        edge.setAlphaF(0.15);
        painter.setPen(QPen(edge, 0.5));
        painter.drawPath(swatch);
        if (hasFocus()) {
            QColor focus = Style::brand();
            focus.setAlphaF(0.45);
            painter.setPen(QPen(focus, 2));
            painter.drawRoundedRect(outer.adjusted(1, 1, -1, -1), 5, 5);
        }
    }

private:
    QColor m_colour;
};

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

// The grouped form's card: rows on the card's fill, hairlines between them.
class FormCard : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
        painter.fillPath(shape, WizardLook::cardFill());
        painter.setPen(QPen(WizardLook::cardEdge(), 1));
        painter.drawPath(shape);
        // A hairline above every visible row but the first.
        bool first = true;
        for (QObject *child : children()) {
            auto *row = qobject_cast<QWidget *>(child);
            if (!row || !row->isVisible())
                continue;
            if (!first)
                painter.drawLine(QPointF(14, row->y() + 0.5), QPointF(width() - 14, row->y() + 0.5));
            first = false;
        }
    }
};

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
    , m_background(new ColorWell(QStringLiteral("Cover")))
    , m_ink(new ColorWell(QStringLiteral("Lettering")))
    , m_typeface(new QComboBox)
    , m_position(new SegmentedControl)
    , m_fit(new SegmentedControl)
{
    setObjectName(QStringLiteral("coverOwn"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *card = new FormCard;
    outer->addWidget(card);
    auto *rows = new QVBoxLayout(card);
    rows->setContentsMargins(0, 2, 0, 2);
    rows->setSpacing(0);

    m_typeface->setAccessibleName(QStringLiteral("Typeface"));
    m_typeface->addItems(labelsOf(typefaces()));
    m_typeface->setMinimumWidth(150);
    m_position->setLabels(labelsOf(positions()));
    m_position->setAccessibleName(QStringLiteral("Title"));
    m_position->setFont(Style::font(Style::Text::Callout));
    m_fit->setLabels(labelsOf(fits()));
    m_fit->setAccessibleName(QStringLiteral("Picture"));
    m_fit->setFont(Style::font(Style::Text::Callout));

    rows->addWidget(row(QStringLiteral("Cover"), m_background));
    rows->addWidget(row(QStringLiteral("Lettering"), m_ink));
    rows->addWidget(row(QStringLiteral("Typeface"), m_typeface));
    rows->addWidget(row(QStringLiteral("Title"), m_position));
    m_fitRow = row(QStringLiteral("Picture"), m_fit);
    rows->addWidget(m_fitRow);
    m_remove = new QPushButton(QStringLiteral("Remove the Picture"));
    m_remove->setAutoDefault(false);
    Style::setDestructive(m_remove);
    m_removeRow = new QWidget;
    auto *removeLine = new QHBoxLayout(m_removeRow);
    removeLine->setContentsMargins(14, 8, 14, 8);
    removeLine->addStretch(1);
    removeLine->addWidget(m_remove);
    rows->addWidget(m_removeRow);
    m_hintRow = new QWidget;
    auto *hintLine = new QHBoxLayout(m_hintRow);
    hintLine->setContentsMargins(14, 9, 14, 10);
    hintLine->addWidget(Style::label(
        QStringLiteral("Add a photo or a painted picture from the other tabs, and it goes on your design."),
        Style::Text::Caption, Style::Tone::Secondary));
    rows->addWidget(m_hintRow);

    connect(m_background, &QAbstractButton::clicked, this,
        [this] { pickColour(m_background, &Design::Cover::Custom::background, QStringLiteral("Cover")); });
    connect(m_ink, &QAbstractButton::clicked, this,
        [this] { pickColour(m_ink, &Design::Cover::Custom::ink, QStringLiteral("Lettering")); });
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
    auto *line = new QWidget;
    auto *layout = new QHBoxLayout(line);
    layout->setContentsMargins(14, 8, 14, 8);
    layout->setSpacing(12);
    layout->addWidget(Style::label(label, Style::Text::Body));
    layout->addStretch(1);
    layout->addWidget(control, 0, Qt::AlignVCenter);
    line->setMinimumHeight(40);
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

void CoverOwn::pickColour(ColorWell *well, QString Design::Cover::Custom::*field, const QString &title)
{
    auto *dialog = new QColorDialog(well->colour(), window());
    dialog->setObjectName(QStringLiteral("coverColourPicker"));
    dialog->setWindowTitle(title);
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QColorDialog::colorSelected, this, [this, field](const QColor &colour) {
        Design::Cover::Custom record = custom();
        record.*field = Color::hex(colour);
        setCustom(record);
    });
    dialog->open();
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
