#include "coverphoto.h"

#include "coverstep.h"
#include "photostrip.h"
#include "ui/icons.h"
#include "ui/style.h"
#include "wizardmodel.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVBoxLayout>

const QList<CoverPhoto::Tip> &CoverPhoto::tips()
{
    static const QList<Tip> tips { { QStringLiteral("person.2"),
                                       QStringLiteral("The two of you, in a place that's yours") },
        { QStringLiteral("mappin.and.ellipse"), QStringLiteral("Where you met, or your first trip") },
        { QStringLiteral("text.bubble"), QStringLiteral("A screenshot of the very first message") },
        { QStringLiteral("signature"), QStringLiteral("A note in their handwriting, photographed flat") },
        { QStringLiteral("ticket"), QStringLiteral("A ticket stub, a menu, a receipt") },
        { QStringLiteral("pawprint"), QStringLiteral("The dog, the cat, the plant you kept alive") } };
    return tips;
}

CoverPhoto::CoverPhoto(CoverStep *step, QWidget *parent)
    : QWidget(parent)
    , m_step(step)
    , m_strip(new PhotoStrip(step->model(), 64))
    , m_tipsButton(new QToolButton)
{
    setObjectName(QStringLiteral("coverPhoto"));
    setAcceptDrops(true);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);
    column->addWidget(m_strip);

    auto *line = new QHBoxLayout;
    line->setSpacing(4);
    QLabel *hint = Style::label(QStringLiteral("Click one for the cover, or drop a picture in."),
        Style::Text::Caption, Style::Tone::Secondary);
    hint->setWordWrap(false);
    line->addWidget(hint);
    m_tipsButton->setText(QStringLiteral("What works well"));
    m_tipsButton->setFont(Style::font(Style::Text::Caption));
    m_tipsButton->setPopupMode(QToolButton::InstantPopup);
    Style::setLink(m_tipsButton);
    // The tips' icons are drawn when the menu first opens, not with the step.
    auto *menu = new QMenu(m_tipsButton);
    connect(menu, &QMenu::aboutToShow, menu, [menu] {
        if (!menu->isEmpty())
            return;
        for (const Tip &tip : tips())
            menu->addAction(Icons::icon(tip.symbol), tip.text);
    });
    m_tipsButton->setMenu(menu);
    line->addWidget(m_tipsButton);
    line->addStretch(1);
    column->addLayout(line);

    connect(m_strip, &PhotoStrip::addRequested, step, &CoverStep::choosePicture);
    connect(m_strip, &PhotoStrip::picked, step, &CoverStep::pick);
    connect(step, &CoverStep::photosChanged, m_strip, &PhotoStrip::reload);
    connect(step->model(), &WizardModel::designChanged, this, &CoverPhoto::refresh);
    refresh();
}

void CoverPhoto::refresh()
{
    const std::optional<QString> image = m_step->model()->design().cover.image;
    m_strip->setSelected(image ? QStringList { *image } : QStringList());
}

void CoverPhoto::setDropping(bool dropping)
{
    if (m_dropping == dropping)
        return;
    m_dropping = dropping;
    update();
}

void CoverPhoto::dragEnterEvent(QDragEnterEvent *event)
{
    if (!event->mimeData()->hasUrls())
        return;
    event->acceptProposedAction();
    setDropping(true);
}

void CoverPhoto::dragLeaveEvent(QDragLeaveEvent *)
{
    setDropping(false);
}

void CoverPhoto::dropEvent(QDropEvent *event)
{
    setDropping(false);
    event->acceptProposedAction();
    const QList<QUrl> urls = event->mimeData()->urls();
    // Only the first of several; anything that isn't a file does nothing.
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    m_step->use(urls.first().toLocalFile());
}

void CoverPhoto::paintEvent(QPaintEvent *)
{
    if (!m_dropping)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor wash = Style::brand();
    wash.setAlphaF(0.10);
    const QRectF area = QRectF(m_strip->geometry()).adjusted(-4, -4, 4, 4);
    QPainterPath shape;
    shape.addRoundedRect(area, 9, 9);
    painter.fillPath(shape, wash);
    painter.setPen(QPen(Style::brand(), 1.5, Qt::DashLine));
    painter.drawPath(shape);
}
