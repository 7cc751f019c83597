#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class DesignThumb;
class DesignGrid;
class QHBoxLayout;
class QLabel;
class Spinner;
class SwatchButton;
class WizardModel;

// The "Designs" tab: the ready-made cover designs as thumbnails of this
// very book, drawn by the model's gallery, and for the designs printed on
// cloth a row of colour swatches. Picking writes the model's cover.
class CoverDesigns : public QWidget
{
    Q_OBJECT

public:
    struct Swatch
    {
        QString name;
        QColor color;
    };

    explicit CoverDesigns(WizardModel *model, QWidget *parent = nullptr);

    // The design keys in the gallery's order.
    static const QStringList &keys();
    // "Cloth", ...; "split" reads "Two Inks".
    static QString caption(const QString &key);
    static const QList<Swatch> &swatches();
    // The designs that take a cover colour.
    static bool isColoured(const QString &style);

    // Makes a design the cover's; the photo design lets its picture bleed.
    void choose(const QString &key);
    // The designs shown, in order: those the gallery has a thumbnail for.
    QStringList shownKeys() const;

private:
    void refresh();
    void reloadThumbnails();

    QPointer<WizardModel> m_model;
    DesignGrid *m_grid;
    QHash<QString, DesignThumb *> m_thumbs;
    Spinner *m_spinner;
    QLabel *m_failed;
    QWidget *m_swatchRow;
    QList<SwatchButton *> m_swatches;
};
