#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QWidget>
#include <optional>

class ConversationListModel;
class Library;
class QMenu;

class QModelIndex;
class QPushButton;
class QTreeView;
class SourceAdder;
struct Source;

// The sidebar: a collapsible section per source with its one-to-one
// conversations, "Add Messages" at its foot, and files or folders dropped
// on it added as chats. Picking a row selects that conversation; the
// selection itself belongs to the window's content.
class ConversationList : public QWidget
{
    Q_OBJECT

public:
    ConversationList(Library *library, SourceAdder *adder, QWidget *parent = nullptr);

    std::optional<QString> selection() const { return m_selection; }
    // Shows id as selected, without telling anyone.
    void setSelection(const std::optional<QString> &id);

    QTreeView *view() const { return m_view; }
    ConversationListModel *model() const { return m_model; }
    QPushButton *addButton() const { return m_add; }
    // The "Forget" question of a source, while it shows.
    QMessageBox *forgetQuestion() const { return m_forgetting; }

    // Sections the user closed stay closed, by source id, while the list lives.
    QSet<QString> collapsed() const { return m_collapsed; }
    void setExpanded(const QString &sourceId, bool expanded);
    // The header's menu of a section: "Forget…" for every source but the
    // computer's own, which can't be forgotten.
    QMenu *sectionMenu(const QString &sourceId);
    // Asks whether to forget source, and does when the answer is "Forget".
    void askToForget(const Source &source);

signals:
    // The user picked a conversation.
    void selectionChanged(const std::optional<QString> &id);
    // Return on the selected conversation: the keys go on into it.
    void opened();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void afterReset();
    void clicked(const QModelIndex &index);
    void pressReturn(const QModelIndex &index);
    void showSectionMenu(const QPoint &at);

    Library *m_library;
    SourceAdder *m_adder;
    ConversationListModel *m_model;
    QTreeView *m_view;
    QPushButton *m_add;
    std::optional<QString> m_selection;
    QSet<QString> m_collapsed;
    QPointer<QMessageBox> m_forgetting;
    bool m_syncing = false;
};
