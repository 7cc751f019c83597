#include "conversationlist.h"

#include "conversationlistmodel.h"
#include "model/library.h"
#include "project/unfinishedbooks.h"
#include "sourceadder.h"
#include "ui/controlpainter.h"
#include "ui/hairline.h"
#include "ui/icons.h"
#include "ui/question.h"
#include "ui/spinner.h"
#include "ui/style.h"

#include <QDragEnterEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QTreeView>
#include <QVBoxLayout>
#include <functional>

namespace {

using Kind = ConversationListModel::Kind;

// Where text starts in every row, and the inset of the selection.
constexpr int leading = 18;
constexpr int inset = 8;

// The sidebar's rows, drawn as a desktop sidebar draws them: section
// headers in small semibold type, two-line conversations, and a rounded
// selection.
class SidebarDelegate : public QStyledItemDelegate
{
public:
    explicit SidebarDelegate(QTreeView *view)
        : QStyledItemDelegate(view)
        , m_view(view)
    { }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int width = m_view->viewport()->width();
        switch (ConversationListModel::kind(index)) {
        case Kind::Section:
            return { width, 34 };
        case Kind::Conversation:
            return { width, nameMetrics().height() + 1 + detailMetrics().height() + 14 };
        case Kind::Loading:
        case Kind::Empty:
            return { width, 28 };
        case Kind::Error:
        case Kind::Notice: {
            const int lines = int(wrapped(index.data().toString(), textWidth()).size());
            return { width, std::max(1, lines) * detailMetrics().lineSpacing() + 12 };
        }
        case Kind::ReadFromMac:
            return { width, 40 };
        }
        return QStyledItemDelegate::sizeHint(option, index);
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        switch (ConversationListModel::kind(index)) {
        case Kind::Section:
            paintSection(painter, option, index);
            break;
        case Kind::Conversation:
            paintConversation(painter, option, index);
            break;
        case Kind::Loading:
            break; // the spinner is a widget of its own
        case Kind::Error:
        case Kind::Empty:
        case Kind::Notice:
            paintStatus(painter, option, index);
            break;
        case Kind::ReadFromMac:
            paintReadFromMac(painter, option, index);
            break;
        }
        painter->restore();
    }

private:
    static QFontMetrics nameMetrics() { return QFontMetrics(Style::font(Style::Text::Body)); }
    static QFontMetrics detailMetrics() { return QFontMetrics(Style::font(Style::Text::Subheadline)); }
    int textWidth() const { return std::max(40, m_view->viewport()->width() - 2 * leading); }

    void paintSection(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
    {
        const QRect rect = option.rect;
        const QColor tone = Style::color(Style::Tone::Secondary);
        const int iconSize = 14;
        const QFont font = Style::font(Style::Text::Callout, Style::Weight::Semibold);
        const QFontMetrics metrics(font);
        // The header sits low in its row, close to what it heads.
        const int baseline = rect.bottom() - 9;
        const int iconTop = baseline - metrics.ascent() + (metrics.ascent() - iconSize) / 2 + 1;
        painter->drawPixmap(QRect(rect.left() + leading, iconTop, iconSize, iconSize),
            Icons::pixmap(index.data(ConversationListModel::SymbolRole).toString(), iconSize, tone));
        const int textLeft = rect.left() + leading + iconSize + 7;
        const bool hovered = option.state & QStyle::State_MouseOver;
        const int chevron = 10;
        const int textRight = rect.right() - leading - (hovered ? chevron + 6 : 0);
        painter->setFont(font);
        painter->setPen(tone);
        painter->drawText(QPoint(textLeft, baseline),
            metrics.elidedText(index.data().toString(), Qt::ElideRight, textRight - textLeft));
        if (hovered) {
            const bool open = option.state & QStyle::State_Open;
            painter->drawPixmap(
                QRect(rect.right() - leading - chevron, baseline - chevron + 1, chevron, chevron),
                Icons::pixmap(open ? QStringLiteral("chevron.down") : QStringLiteral("chevron.right"),
                    chevron, Style::color(Style::Tone::Tertiary)));
        }
    }

    void paintConversation(
        QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
    {
        const QRect bubble = option.rect.adjusted(inset, 1, -inset, -1);
        const bool selected = option.state & QStyle::State_Selected;
        const bool focused = m_view->hasFocus();
        QColor name = Style::color(Style::Tone::Primary);
        QColor detail = Style::color(Style::Tone::Secondary);
        if (selected) {
            QPainterPath path;
            path.addRoundedRect(bubble, 6, 6);
            if (focused) {
                painter->fillPath(path, Style::brand());
                name = detail = QColor(Qt::white);
                detail.setAlphaF(0.82);
                if (Style::appearance() == Color::Appearance::Dark)
                    name = detail = QColor(0x1d, 0x1d, 0x1f);
            } else {
                painter->fillPath(path, Style::surface(Style::Surface::Selection));
            }
        } else if (option.state & QStyle::State_MouseOver) {
            QPainterPath path;
            path.addRoundedRect(bubble, 6, 6);
            QColor fill = Style::color(Style::Tone::Primary);
            fill.setAlphaF(0.05);
            painter->fillPath(path, fill);
        }
        // The row the keys are on; a chosen one says so with its fill.
        if ((option.state & QStyle::State_HasFocus) && !selected
            && m_view->window()->testAttribute(Qt::WA_KeyboardFocusChange))
            ControlPainter::focusRing(painter, bubble, 6, ControlPainter::colors(m_view->palette()));
        const QFontMetrics names = nameMetrics();
        const QFontMetrics details = detailMetrics();
        const int width = bubble.width() - 2 * (leading - inset);
        const int top = bubble.top() + (bubble.height() - names.height() - 1 - details.height()) / 2;
        painter->setFont(Style::font(Style::Text::Body));
        painter->setPen(name);
        painter->drawText(QPoint(option.rect.left() + leading, top + names.ascent()),
            names.elidedText(index.data().toString(), Qt::ElideRight, width));
        painter->setFont(Style::font(Style::Text::Subheadline));
        painter->setPen(detail);
        painter->drawText(QPoint(option.rect.left() + leading, top + names.height() + 1 + details.ascent()),
            details.elidedText(
                index.data(ConversationListModel::DetailRole).toString(), Qt::ElideRight, width));
    }

    void paintStatus(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
    {
        const QFontMetrics metrics = detailMetrics();
        QRect text(
            option.rect.left() + leading, option.rect.top() + 6, textWidth(), option.rect.height() - 12);
        painter->setFont(Style::font(Style::Text::Subheadline));
        painter->setPen(Style::color(Style::Tone::Secondary));
        const QStringList lines = wrapped(index.data().toString(), text.width());
        for (int line = 0; line < lines.size(); ++line)
            painter->drawText(
                QPoint(text.left(), text.top() + line * metrics.lineSpacing() + metrics.ascent()),
                lines[line]);
    }

    // A status text wrapped to width, all of it: a source that doesn't read
    // says why in the tool's sentence, and the end of it is often the part
    // that says what to do.
    static QStringList wrapped(QString text, int width)
    {
        text.replace(u'\n', QChar::LineSeparator);
        QTextLayout layout(text, Style::font(Style::Text::Subheadline));
        layout.beginLayout();
        QStringList lines;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines.append(text.mid(line.textStart(), line.textLength()).trimmed());
        }
        layout.endLayout();
        return lines;
    }

    void paintReadFromMac(
        QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
    {
        const bool hovered = option.state & QStyle::State_MouseOver;
        const QColor tone = Style::color(hovered ? Style::Tone::Primary : Style::Tone::Secondary);
        const int iconSize = 14;
        const QRect rect = option.rect.adjusted(0, 8, 0, 0);
        const QFontMetrics metrics(Style::font(Style::Text::Body));
        const int middle = rect.center().y();
        painter->drawPixmap(QRect(rect.left() + leading, middle - iconSize / 2, iconSize, iconSize),
            Icons::pixmap(index.data(ConversationListModel::SymbolRole).toString(), iconSize, tone));
        painter->setFont(Style::font(Style::Text::Body));
        painter->setPen(tone);
        const int left = rect.left() + leading + iconSize + 7;
        painter->drawText(QPoint(left, middle - metrics.height() / 2 + metrics.ascent()),
            metrics.elidedText(index.data().toString(), Qt::ElideRight, rect.right() - leading - left));
    }

    QTreeView *m_view;
};

// The tree draws each row through the delegate alone: no branches, no
// style-drawn selection band.
class SidebarTree : public QTreeView
{
public:
    using QTreeView::QTreeView;

    // What Return on the current row does.
    std::function<void(const QModelIndex &)> onReturn;

protected:
    void drawRow(
        QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem row = option;
        row.rect.setLeft(0);
        row.rect.setWidth(viewport()->width());
        if (isExpanded(index))
            row.state |= QStyle::State_Open;
        if (selectionModel()->isSelected(index))
            row.state |= QStyle::State_Selected;
        else
            row.state &= ~QStyle::State_Selected;
        if (index == hoveredIndex())
            row.state |= QStyle::State_MouseOver;
        else
            row.state &= ~QStyle::State_MouseOver;
        if (hasFocus() && index == currentIndex())
            row.state |= QStyle::State_HasFocus;
        else
            row.state &= ~QStyle::State_HasFocus;
        itemDelegateForIndex(index)->paint(painter, row, index);
    }

    // The keys move from conversation to conversation, over the headers
    // and status lines between them.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override
    {
        const QModelIndex start = currentIndex();
        QModelIndex next = QTreeView::moveCursor(action, modifiers);
        while (next.isValid() && !(model()->flags(next) & Qt::ItemIsSelectable)) {
            selectionModel()->setCurrentIndex(next, QItemSelectionModel::NoUpdate);
            const QModelIndex further = QTreeView::moveCursor(action, modifiers);
            next = further == next ? QModelIndex() : further;
        }
        selectionModel()->setCurrentIndex(start, QItemSelectionModel::NoUpdate);
        return next.isValid() ? next : start;
    }

    // A status line wraps at the list's width, so its height changes with
    // the width; the tree keeps the heights it was given until told.
    bool viewportEvent(QEvent *event) override
    {
        if (event->type() == QEvent::Resize) {
            const auto *resize = static_cast<QResizeEvent *>(event);
            if (resize->size().width() != resize->oldSize().width())
                scheduleDelayedItemsLayout();
        }
        return QTreeView::viewportEvent(event);
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()
            && onReturn) {
            onReturn(currentIndex());
            event->accept();
            return;
        }
        QTreeView::keyPressEvent(event);
    }

    void focusInEvent(QFocusEvent *event) override
    {
        QTreeView::focusInEvent(event);
        viewport()->update();
    }
    void focusOutEvent(QFocusEvent *event) override
    {
        QTreeView::focusOutEvent(event);
        viewport()->update();
    }

private:
    QModelIndex hoveredIndex() const
    {
        const QPoint at = viewport()->mapFromGlobal(QCursor::pos());
        return viewport()->rect().contains(at) && viewport()->underMouse() ? indexAt(at) : QModelIndex();
    }
};

// The bar at the sidebar's foot: the whole width is the button, its symbol
// and title at the leading edge.
class AddBar : public QPushButton
{
public:
    AddBar(const QString &symbol, const QString &text, QWidget *parent)
        : QPushButton(text, parent)
        , m_symbol(symbol)
    {
        setFlat(true);
        setCursor(Qt::PointingHandCursor);
        setAttribute(Qt::WA_Hover);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override { return { 200, fontMetrics().height() + 2 * padding.height() }; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (underMouse() || isDown()) {
            QColor fill = Style::color(Style::Tone::Primary);
            fill.setAlphaF(isDown() ? 0.1 : 0.05);
            painter.fillRect(rect(), fill);
        }
        if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange))
            ControlPainter::focusRing(&painter, rect().adjusted(4, 3, -4, -3), ControlPainter::buttonRadius,
                ControlPainter::colors(palette()));
        const int size = 16;
        const QColor tone = Style::color(Style::Tone::Primary);
        painter.drawPixmap(
            QRect(padding.width(), (height() - size) / 2, size, size), Icons::pixmap(m_symbol, size, tone));
        painter.setPen(tone);
        painter.setFont(font());
        painter.drawText(rect().adjusted(padding.width() + size + 6, 0, -padding.width(), 0),
            Qt::AlignVCenter | Qt::AlignLeft, text());
    }

private:
    static constexpr QSize padding { 14, 10 };
    QString m_symbol;
};

} // namespace

ConversationList::ConversationList(Library *library, SourceAdder *adder, QWidget *parent)
    : QWidget(parent)
    , m_library(library)
    , m_adder(adder)
    , m_model(new ConversationListModel(library, this))
    , m_view(new SidebarTree(this))
    , m_add(new AddBar(QStringLiteral("plus"), QStringLiteral("Add Messages"), this))
{
    setObjectName(QStringLiteral("sidebar"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);

    m_view->setModel(m_model);
    m_view->setItemDelegate(new SidebarDelegate(m_view));
    m_view->setHeaderHidden(true);
    m_view->setRootIsDecorated(false);
    m_view->setIndentation(0);
    m_view->setUniformRowHeights(false);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setExpandsOnDoubleClick(false);
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setMouseTracking(true);
    m_view->setAnimated(true);
    m_view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    m_view->setAcceptDrops(true);
    m_view->viewport()->setAcceptDrops(true);
    m_view->viewport()->installEventFilter(this);
    m_view->viewport()->setAutoFillBackground(false);
    m_view->setAutoFillBackground(false);
    m_view->viewport()->setAttribute(Qt::WA_Hover);

    auto *menu = new QMenu(m_add);
    menu->addAction(Icons::icon(QStringLiteral("iphone")), QStringLiteral("iPhone Backup…"), this,
        [this] { m_adder->addBackup(this); });
    menu->addAction(Icons::icon(QStringLiteral("doc.text")), QStringLiteral("Chat File…"), this,
        [this] { m_adder->chooseFile(this); });
    menu->addAction(Icons::icon(QStringLiteral("doc.on.clipboard")), QStringLiteral("Paste a Chat…"), this,
        [this] { m_adder->paste(this); });
    m_add->setMenu(menu);
    m_add->setToolTip(
        QStringLiteral("Add an iPhone backup, a chat exported from WhatsApp, Telegram, Instagram "
                       "or Discord, an Android SMS backup, or paste one in"));

    auto *rule = new Hairline(Qt::Horizontal, this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 6, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1);
    layout->addWidget(rule);
    layout->addWidget(m_add);

    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_syncing = true; });
    connect(m_model, &QAbstractItemModel::modelReset, this, &ConversationList::afterReset);
    connect(m_view, &QTreeView::clicked, this, &ConversationList::clicked);
    static_cast<SidebarTree *>(m_view)->onReturn = [this](const QModelIndex &index) { pressReturn(index); };
    connect(m_view, &QTreeView::expanded, this, [this](const QModelIndex &index) {
        if (!m_syncing)
            m_collapsed.remove(index.data(ConversationListModel::IdRole).toString());
    });
    connect(m_view, &QTreeView::collapsed, this, [this](const QModelIndex &index) {
        if (!m_syncing)
            m_collapsed.insert(index.data(ConversationListModel::IdRole).toString());
    });
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_syncing)
            return;
        const QModelIndexList chosen = m_view->selectionModel()->selectedIndexes();
        if (chosen.isEmpty() || ConversationListModel::kind(chosen.first()) != Kind::Conversation)
            return;
        const QString id = chosen.first().data(ConversationListModel::IdRole).toString();
        if (m_selection == id)
            return;
        m_selection = id;
        emit selectionChanged(id);
    });
    connect(m_view, &QWidget::customContextMenuRequested, this, &ConversationList::showSectionMenu);
    afterReset();
}

void ConversationList::afterReset()
{
    m_syncing = true;
    const int scrolled = m_view->verticalScrollBar()->value();
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex section = m_model->index(row, 0);
        if (ConversationListModel::kind(section) != Kind::Section)
            continue;
        m_view->setExpanded(
            section, !m_collapsed.contains(section.data(ConversationListModel::IdRole).toString()));
        for (int child = 0; child < m_model->rowCount(section); ++child) {
            const QModelIndex index = m_model->index(child, 0, section);
            if (ConversationListModel::kind(index) != Kind::Loading)
                continue;
            auto *holder = new QWidget;
            auto *row = new QHBoxLayout(holder);
            row->setContentsMargins(leading, 0, 0, 0);
            row->addWidget(new Spinner(Spinner::Size::Small), 0, Qt::AlignVCenter);
            row->addStretch(1);
            m_view->setIndexWidget(index, holder);
        }
    }
    const QModelIndex selected = m_selection ? m_model->indexOf(*m_selection) : QModelIndex();
    if (selected.isValid())
        m_view->selectionModel()->select(selected, QItemSelectionModel::ClearAndSelect);
    else
        m_view->selectionModel()->clearSelection();
    m_view->verticalScrollBar()->setValue(scrolled);
    m_syncing = false;
}

void ConversationList::setSelection(const std::optional<QString> &id)
{
    m_selection = id;
    m_syncing = true;
    const QModelIndex index = id ? m_model->indexOf(*id) : QModelIndex();
    if (index.isValid()) {
        m_view->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
        m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        m_view->scrollTo(index);
    } else {
        m_view->selectionModel()->clearSelection();
    }
    m_syncing = false;
}

void ConversationList::setExpanded(const QString &sourceId, bool expanded)
{
    if (expanded)
        m_collapsed.remove(sourceId);
    else
        m_collapsed.insert(sourceId);
    const QModelIndex section = m_model->sectionIndex(sourceId);
    if (section.isValid()) {
        m_syncing = true;
        m_view->setExpanded(section, expanded);
        m_syncing = false;
    }
}

void ConversationList::clicked(const QModelIndex &index)
{
    switch (ConversationListModel::kind(index)) {
    case Kind::Section: {
        const QString id = index.data(ConversationListModel::IdRole).toString();
        setExpanded(id, m_collapsed.contains(id));
        break;
    }
    case Kind::ReadFromMac:
        SourceAdder::openMessagesFolder(this);
        break;
    default:
        break;
    }
}

void ConversationList::pressReturn(const QModelIndex &index)
{
    if (ConversationListModel::kind(index) != Kind::Conversation) {
        clicked(index);
        return;
    }
    // The row is chosen as a click chooses it, then the keys go on into
    // what it opened.
    m_view->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    if (m_selection == index.data(ConversationListModel::IdRole).toString())
        emit opened();
}

QMenu *ConversationList::sectionMenu(const QString &sourceId)
{
    const std::optional<Source> source = m_model->source(m_model->sectionIndex(sourceId));
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (source && source->id != Source::mac().id) {
        menu->addAction(QStringLiteral("Forget…"), this, [this, source = *source] { askToForget(source); });
    }
    return menu;
}

void ConversationList::showSectionMenu(const QPoint &at)
{
    const QModelIndex index = m_view->indexAt(at);
    if (ConversationListModel::kind(index) != Kind::Section)
        return;
    QMenu *menu = sectionMenu(index.data(ConversationListModel::IdRole).toString());
    if (menu->isEmpty()) {
        menu->deleteLater();
        return;
    }
    menu->popup(m_view->viewport()->mapToGlobal(at));
}

void ConversationList::askToForget(const Source &source)
{
    if (m_forgetting)
        m_forgetting->close();
    QPointer<Library> library(m_library);
    QMessageBox *question = Question::askFirst(window(),
        { QStringLiteral("Forget"),
            QStringLiteral("Forget “") + ConversationListModel::title(source) + QStringLiteral("”?"),
            QStringLiteral("Quorvel deletes its copy of these messages. Books you've made from them stay."),
            QStringLiteral("Forget") },
        [library, source] {
            if (library)
                library->forget(source);
            // Books made stay; a first export that never became one goes
            // with the messages it copied.
            UnfinishedBooks::forget(source);
        });
    m_forgetting = question;
}

bool ConversationList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_view->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (drag->mimeData()->hasUrls()) {
            drag->acceptProposedAction();
            return true;
        }
        return false;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QList<QUrl> urls = drop->mimeData()->urls();
        if (urls.isEmpty())
            return false;
        // Each item gets its own add, in the order dropped.
        for (const QUrl &url : urls)
            m_adder->add(url.isLocalFile() ? url.toLocalFile() : url.toString(), this);
        drop->acceptProposedAction();
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}
