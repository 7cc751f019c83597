#include "coverstep.h"

#include "coverdesigns.h"
#include "coverown.h"
#include "coverpaint.h"
#include "coverphoto.h"
#include "coverpreview.h"
#include "covertitlefields.h"
#include "project/project.h"
#include "service/coverart.h"
#include "ui/desktop.h"
#include "ui/errors.h"
#include "ui/segmentedcontrol.h"
#include "ui/style.h"
#include "wizardmodel.h"

#include <QHBoxLayout>
#include <QImageReader>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <qcorofuture.h>

namespace {

// The open panel's filter: what this computer's Qt can read, as a copy of
// any of them can go on a cover.
QStringList pictureFilters()
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format));
    return { QStringLiteral("Pictures (%1)").arg(patterns.join(QLatin1Char(' '))) };
}

} // namespace

QString CoverStep::tabName(Tab tab)
{
    switch (tab) {
    case Tab::Designs:
        return QStringLiteral("Designs");
    case Tab::Own:
        return QStringLiteral("Your Own");
    case Tab::Photo:
        return QStringLiteral("A Photo");
    case Tab::Paint:
        return QStringLiteral("Painted for You");
    }
    return {};
}

CoverStep::Tab CoverStep::firstTab(const Design::Cover &cover)
{
    if (cover.style == QLatin1String("custom"))
        return Tab::Own;
    if (cover.image)
        return Tab::Photo;
    return Tab::Designs;
}

std::optional<CoverStep::Tab> CoverStep::tabFromEnvironment()
{
    const QString value = qEnvironmentVariable("QUORVEL_COVER_TAB");
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
    if (!whole.match(value).hasMatch())
        return std::nullopt;
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < 0 || number >= tabCount)
        return std::nullopt;
    return Tab(number);
}

CoverStep::CoverStep(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_cover(model->design().cover)
    , m_preview(new CoverPreview(model))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    // The preview keeps room for its shadow at its sides: 32 apart as seen.
    row->setSpacing(20);
    row->addWidget(m_preview, 0, Qt::AlignTop);
    row->addWidget(buildRight(), 1, Qt::AlignTop);

    connect(m_tabs, &SegmentedControl::activated, this, [this](int index) { setTab(Tab(index)); });
    watchModel();
    model->beginCoverVisit();
    start();
}

CoverStep::~CoverStep() = default;

QWidget *CoverStep::buildRight()
{
    auto *right = new QWidget;
    // In a narrow window the preview gives way first: the panels keep room
    // for four designs a row and the four ways across.
    right->setMinimumWidth(340);
    auto *column = new QVBoxLayout(right);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(16);

    m_titleFields = new CoverTitleFields(m_model);
    column->addWidget(m_titleFields);

    m_tabs = new SegmentedControl;
    m_tabs->setObjectName(QStringLiteral("coverTabs"));
    QStringList names;
    for (int i = 0; i < tabCount; ++i)
        names.append(tabName(Tab(i)));
    m_tabs->setLabels(names);
    m_tabs->setAccessibleName(QStringLiteral("How the cover is made"));
    // The four names share the column's width.
    m_tabs->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_tabs->setFont(Style::font(Style::Text::Callout));
    m_tabs->setWidths(SegmentedControl::Widths::Fitted);
    column->addWidget(m_tabs);

    m_designs = new CoverDesigns(m_model);
    m_own = new CoverOwn(m_model);
    m_photo = new CoverPhoto(this);
    m_paint = new CoverPaint(this);
    for (QWidget *panel : std::initializer_list<QWidget *> { m_designs, m_own, m_photo, m_paint }) {
        panel->hide();
        column->addWidget(panel);
    }

    m_errorRow = new ErrorRow;
    m_errorRow->setObjectName(QStringLiteral("coverError"));
    column->addWidget(m_errorRow);
    column->addStretch(1);
    return right;
}

void CoverStep::watchModel()
{
    // Another design, colour or picture draws at once; words draw once the
    // typing pauses.
    connect(m_model, &WizardModel::designChanged, this, [this] {
        if (m_model->design().cover == m_cover)
            return;
        m_cover = m_model->design().cover;
        m_model->redraw();
    });
    // Tied to the step, not the model: the model outlives every visit, and a
    // title set once the step is gone has no cover on screen to draw.
    connect(m_model, &WizardModel::titleChanged, this, [this] { m_model->redrawSoon(); });
    connect(m_model, &WizardModel::colophonChanged, this, [this] { m_model->redrawSoon(); });
    connect(
        m_model, &WizardModel::paintFailed, this, [this](const QString &sentence) { setError(sentence); });
}

void CoverStep::start()
{
    Tab first = firstTab(m_model->design().cover);
    if (const std::optional<Tab> asked = tabFromEnvironment())
        first = *asked;
    m_tab = first;
    showTab();
    if (qEnvironmentVariableIsSet("QUORVEL_COVER_PAINT") && m_model->paintings().isEmpty()
        && m_model->claimPaintAid()) {
        m_paint->setPrompt(qEnvironmentVariable("QUORVEL_COVER_PAINT"));
        m_paint->paint();
    }
    m_model->renderGallery();
}

void CoverStep::setTab(Tab tab)
{
    if (m_tab == tab)
        return;
    m_tab = tab;
    showTab();
    emit tabChanged();
}

void CoverStep::showTab()
{
    m_tabs->setCurrentIndex(int(m_tab));
    m_designs->setVisible(m_tab == Tab::Designs);
    m_own->setVisible(m_tab == Tab::Own);
    m_photo->setVisible(m_tab == Tab::Photo);
    m_paint->setVisible(m_tab == Tab::Paint);
    if (m_tab == Tab::Own)
        m_own->appear();
}

void CoverStep::setError(const std::optional<QString> &error)
{
    if (m_error == error)
        return;
    m_error = error;
    m_errorRow->setError(error.value_or(QString()));
    emit errorChanged();
}

void CoverStep::setReferences(const QStringList &references)
{
    if (m_references == references)
        return;
    m_references = references;
    emit referencesChanged();
}

void CoverStep::toggleReference(const QString &path)
{
    QStringList references = m_references;
    if (references.contains(path))
        references.removeOne(path);
    else if (references.size() < 3)
        references.append(path);
    setReferences(references);
}

void CoverStep::useArt(const QString &path)
{
    m_model->useArt(path);
}

QCoro::Task<std::pair<QStringList, std::optional<QString>>> CoverStep::bring(QStringList files)
{
    const QString folder = m_model->project()->folder();
    co_return co_await QtConcurrent::run([files, folder] {
        const QString mine = CoverArt::mine(folder);
        QStringList copies;
        std::optional<QString> failure;
        for (const QString &file : files) {
            try {
                copies.append(CoverArt::bring(file, mine));
            } catch (const std::exception &error) {
                failure = Errors::sentence(error);
            }
        }
        return std::make_pair(copies, failure);
    });
}

QCoro::Task<void> CoverStep::use(QString file)
{
    QPointer<CoverStep> self(this);
    setError(std::nullopt);
    const auto [copies, failure] = co_await bring({ file });
    if (!self)
        co_return;
    if (!copies.isEmpty())
        emit photosChanged();
    if (failure) {
        setError(failure);
        co_return;
    }
    useArt(copies.first());
}

void CoverStep::pick(const QString &path)
{
    const QString folder = m_model->project()->folder() + QLatin1Char('/');
    if (path.startsWith(folder))
        useArt(path);
    else
        use(path);
}

QCoro::Task<void> CoverStep::choosePicture()
{
    QPointer<CoverStep> self(this);
    Desktop::Panel panel;
    panel.mode = Desktop::Panel::Mode::OpenFiles;
    panel.title = QStringLiteral("Add Photos");
    panel.prompt = QStringLiteral("Add Photos");
    panel.nameFilters = pictureFilters();
    const QStringList chosen = co_await Desktop::instance().choose(window(), panel);
    if (!self || chosen.isEmpty())
        co_return;
    setError(std::nullopt);
    const auto [copies, failure] = co_await bring(chosen);
    if (!self)
        co_return;
    if (failure)
        setError(failure);
    if (copies.isEmpty())
        co_return;
    emit photosChanged();
    if (m_tab == Tab::Paint)
        setReferences((m_references + copies).mid(0, 3));
    else
        useArt(copies.first());
}
