#pragma once

#include "ui/sidescroll.h"

#include <QHash>
#include <QImage>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <qcorotask.h>

class QHBoxLayout;
class QLabel;
class PictureThumb;
class WizardModel;

// One scrolling row of square thumbnails of the pictures a cover may use:
// the book's own, then the conversation's photos, after a button that adds
// more. It knows nothing of what adding or picking means; the tab around it
// does. Thumbnails are made off the window's thread from a small read of
// each file.
class PhotoStrip : public SideScroll
{
    Q_OBJECT

public:
    PhotoStrip(WizardModel *model, int size, QWidget *parent = nullptr);

    // The pictures offered, in order.
    QStringList pictures();
    // Paths drawn with the selection ring.
    void setSelected(const QStringList &paths);
    QStringList selected() const { return m_selected; }
    // Reads the pictures afresh (one was added to the book); a strip not on
    // screen does so when it is next shown or asked.
    void reload();
    // Whether every thumbnail has had its picture read (or failed to).
    bool isLoaded() const;
    // The thumbnail of a picture, for tests; nullptr when it isn't offered.
    QWidget *thumbnail(const QString &path);

signals:
    void addRequested();
    void picked(const QString &path);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Makes the row of thumbnails for the pictures the book offers now.
    void rebuild();
    void loadThumbnails();
    QCoro::Task<void> load(QString path);

    QPointer<WizardModel> m_model;
    const int m_size;
    QStringList m_pictures;
    // The row was asked to reload while no one could see it.
    bool m_stale = true;
    QStringList m_selected;
    QWidget *m_row;
    QHBoxLayout *m_layout;
    QLabel *m_hint;
    QList<PictureThumb *> m_thumbs;
    // Thumbnails already read, kept across reloads so nothing flickers.
    QHash<QString, QImage> m_read;
    QSet<QString> m_loading;
};
