#pragma once

#include "model/design.h"

#include <QPointer>
#include <QWidget>

class ColorWell;
class QAbstractButton;
class QComboBox;
class QLabel;
class QPushButton;
class SegmentedControl;
class WizardModel;

// The "Your Own" tab: the cover's colour, the lettering's colour, the
// typeface and where the title stands, and with a picture on the cover
// whether it sits in a frame or fills it. Showing the tab puts the cover
// on the own design; every control writes the whole own-design record.
class CoverOwn : public QWidget
{
    Q_OBJECT

public:
    explicit CoverOwn(WizardModel *model, QWidget *parent = nullptr);

    struct Choice
    {
        QString label;
        QString key;
    };
    static const QList<Choice> &typefaces();
    static const QList<Choice> &positions();
    static const QList<Choice> &fits();

    // The tab came on screen: the own design, with its record stored.
    void appear();
    // The record in use: the design's, else the one a new design starts with.
    Design::Cover::Custom custom() const;
    void setCustom(const Design::Cover::Custom &custom);

    // The colour wells: a click opens the colour picker.
    QAbstractButton *background() const;
    QAbstractButton *ink() const;
    QComboBox *typeface() const { return m_typeface; }
    SegmentedControl *position() const { return m_position; }
    SegmentedControl *fit() const { return m_fit; }

private:
    QWidget *row(const QString &label, QWidget *control);
    // Writes a colour picked for one of the record's colours.
    void setHex(QString Design::Cover::Custom::*field, const QColor &colour);
    void refresh();

    QPointer<WizardModel> m_model;
    ColorWell *m_background;
    ColorWell *m_ink;
    QComboBox *m_typeface;
    SegmentedControl *m_position;
    SegmentedControl *m_fit;
    QWidget *m_fitRow;
    QWidget *m_removeRow;
    QPushButton *m_remove;
    QWidget *m_hintRow;
};
