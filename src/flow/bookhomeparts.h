#pragma once

#include "service/pricing.h"

#include <QAbstractButton>
#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

class QLabel;
class QVBoxLayout;

// Small pieces of the book's own page, each drawn one way wherever it
// shows.
namespace BookHomeParts {

// A hairline across the column.
QWidget *divider(QWidget *parent);
// A column of a part of the page: no margins of its own, spacing apart.
QVBoxLayout *column(QWidget *owner, int spacing);
// A section's heading, in the headline face.
QLabel *heading(const QString &text, QWidget *parent);

} // namespace BookHomeParts

// The front of the cover, with rounded corners and a soft shadow under it;
// a quiet placeholder with a spinner until there is a picture.
class CoverPicture : public QWidget
{
    Q_OBJECT

public:
    // The picture's width; the widget adds room for the shadow around it.
    static constexpr int width = 300;
    static constexpr int shadowRoom = 24;
    // Where the picture starts below the widget's top.
    static constexpr int pictureTop = shadowRoom - 5;

    explicit CoverPicture(QWidget *parent = nullptr);

    void setPicture(const std::optional<QImage> &picture);
    bool hasPicture() const { return m_picture.has_value(); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The front panel's own proportions, so the page doesn't jump when the
    // picture arrives.
    QRect frame() const;

    std::optional<QImage> m_picture;
    class Spinner *m_spinner;
};

// One thing the user can still do to the book: a symbol, a title, a line
// below it and a chevron; the whole row takes the click.
class ExtraRow : public QAbstractButton
{
    Q_OBJECT

public:
    ExtraRow(const QString &symbol, const QString &title, const QString &detail, QWidget *parent = nullptr);

    void setDetail(const QString &detail);
    QString title() const;
    QString detail() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QLabel *m_symbol;
    QLabel *m_title;
    QLabel *m_detail;
    QLabel *m_chevron;
    bool m_hovered = false;
};

// One add-on the order can carry: a box to tick when it is on offer (a
// clock when it isn't yet), its name and detail, and its price.
class AddonRow : public QWidget
{
    Q_OBJECT

public:
    AddonRow(const Pricing::Addon &addon, QWidget *parent = nullptr);

    QString id() const { return m_addon.id; }
    void setState(bool on, const QString &price);
    // The box, when the add-on is on offer.
    QAbstractButton *box() const { return m_box; }

signals:
    // The box was clicked, whatever it now shows: the book's order decides.
    void toggled();

private:
    Pricing::Addon m_addon;
    QAbstractButton *m_box = nullptr;
    QLabel *m_price;
};
