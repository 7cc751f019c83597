#include "reviewstep.h"

#include "project/bookhome.h"
#include "ui/style.h"
#include "wizardlook.h"
#include "wizardmodel.h"

#include <QGraphicsDropShadowEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

constexpr int coverWidth = 190;

const QStringList &rowLabels()
{
    static const QStringList labels { QStringLiteral("Messages"), QStringLiteral("Pages"),
        QStringLiteral("Books"), QStringLiteral("Typeface"), QStringLiteral("Chapters"),
        QStringLiteral("Binding"), QStringLiteral("Shipping") };
    return labels;
}

// The front panel scaled to the cover's width, its corners rounded.
QPixmap roundedFront(const QImage &front, qreal devicePixelRatio)
{
    const QSize size(
        coverWidth, int(std::round(coverWidth * double(front.height()) / double(front.width()))));
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(QPointF(0, 0), size), 3, 3);
    painter.setClipPath(clip);
    painter.drawImage(QRectF(QPointF(0, 0), size), front);
    return pixmap;
}

} // namespace

ReviewStep::ReviewStep(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_cover(new QLabel)
    , m_divider(new QWidget)
    , m_totalLabel(new QLabel(QStringLiteral("Total")))
    , m_total(new QLabel)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(22);

    auto *top = new QHBoxLayout;
    top->setSpacing(28);
    auto *shadow = new QGraphicsDropShadowEffect(m_cover);
    shadow->setColor(QColor(0, 0, 0, 51));
    shadow->setBlurRadius(24);
    shadow->setOffset(0, 6);
    m_cover->setGraphicsEffect(shadow);
    m_cover->setObjectName(QStringLiteral("coverFront"));
    top->addWidget(m_cover, 0, Qt::AlignTop);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(8);
    for (int row = 0; row < rowLabels().size(); ++row) {
        auto *label = Style::label(rowLabels()[row], Style::Text::Body, Style::Tone::Secondary);
        label->setWordWrap(false);
        auto *value = Style::label(QString(), Style::Text::Body);
        value->setWordWrap(false);
        grid->addWidget(label, row, 0);
        grid->addWidget(value, row, 1);
        m_values.append(value);
    }
    const int last = int(rowLabels().size());
    m_divider->setFixedHeight(1);
    m_divider->setAutoFillBackground(true);
    QPalette line = m_divider->palette();
    line.setColor(QPalette::Window, Style::color(Style::Tone::Quaternary));
    m_divider->setPalette(line);
    grid->addWidget(m_divider, last, 0, 1, 2);
    const QFont totalFont = Style::font(Style::Text::Title3, Style::Weight::Semibold);
    m_totalLabel->setFont(totalFont);
    m_total->setFont(totalFont);
    grid->addWidget(m_totalLabel, last + 1, 0);
    grid->addWidget(m_total, last + 1, 1);
    grid->setColumnStretch(2, 1);
    top->addLayout(grid, 1);
    column->addLayout(top);

    column->addWidget(
        Style::label(QStringLiteral("Next is your book's own page: order it, add touches, or look through "
                                    "every page if you want to."),
            Style::Text::Callout, Style::Tone::Secondary));

    connect(model, &WizardModel::changed, this, &ReviewStep::refresh);
    refresh();
}

QString ReviewStep::fontName(const QString &key)
{
    static const QHash<QString, QString> names { { QStringLiteral("pagella"),
                                                     QStringLiteral("Palatino style") },
        { QStringLiteral("garamond"), QStringLiteral("Garamond") },
        { QStringLiteral("libertinus"), QStringLiteral("Libertinus") } };
    return names.value(key);
}

QString ReviewStep::chaptersName(const QString &key)
{
    static const QHash<QString, QString> names { { QStringLiteral("month"), QStringLiteral("Every month") },
        { QStringLiteral("year"), QStringLiteral("Every year") },
        { QStringLiteral("none"), QStringLiteral("None") } };
    return names.value(key);
}

std::optional<int> ReviewStep::total(const WizardModel &model)
{
    if (!model.pricing())
        return std::nullopt;
    const std::optional<int> binding = model.pricing()->price(model.order().binding, model.pages());
    if (!binding)
        return std::nullopt;
    int shipping = 0;
    for (const Pricing::Shipping &option : model.pricing()->shipping) {
        if (option.id == model.order().shipping) {
            shipping = option.price;
            break;
        }
    }
    return *binding + shipping;
}

void ReviewStep::refresh()
{
    const WizardModel &model = *m_model;
    const std::optional<Pricing> &pricing = model.pricing();
    QString binding = model.order().binding;
    QString shipping = model.order().shipping;
    if (pricing) {
        for (const Pricing::Binding &option : pricing->bindings) {
            if (option.id == model.order().binding) {
                binding = option.name;
                break;
            }
        }
        for (const Pricing::Shipping &option : pricing->shipping) {
            if (option.id == model.order().shipping) {
                shipping = option.name;
                break;
            }
        }
    }
    const QStringList values { Style::number(model.messageCount()),
        QStringLiteral("about ") + Style::number(model.pages()), QString::number(model.volumes()),
        fontName(model.design().font), chaptersName(model.design().chapters), binding, shipping };
    for (int i = 0; i < values.size(); ++i)
        m_values[i]->setText(values[i]);

    const std::optional<int> sum = total(model);
    m_divider->setVisible(sum.has_value());
    m_totalLabel->setVisible(sum.has_value());
    m_total->setVisible(sum.has_value());
    if (sum)
        m_total->setText(WizardLook::dollars(*sum));
    refreshCover();
}

void ReviewStep::refreshCover()
{
    const QString path = m_model->coverPreview().value_or(QString());
    const QString key = path + QLatin1Char('|') + QString::number(std::max(m_model->pages(), 40));
    if (key == m_coverFor)
        return;
    m_coverFor = key;
    const std::optional<QImage> front
        = path.isEmpty() ? std::nullopt : BookHome::frontPanel(path, std::max(m_model->pages(), 40));
    m_cover->setVisible(front.has_value());
    if (front)
        m_cover->setPixmap(roundedFront(*front, devicePixelRatioF()));
}
