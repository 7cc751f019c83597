#pragma once

#include "model/wrapped.h"
#include "wrappedsettings.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class ColorWell;
class ErrorRow;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QVBoxLayout;
class SegmentedControl;
class ThemeSwatch;
class WrappedView;

// The panel beside the Wrapped's preview, in six sections: which messages
// the cards count, their shape, how people are named, their look, the ad
// mark, and saving. It keeps nothing of its own: every control writes into
// the screen, and refresh() reads the screen back.
class WrappedInspector : public QWidget
{
    Q_OBJECT

public:
    explicit WrappedInspector(WrappedView *view);
    ~WrappedInspector() override;

    void refresh();

    // The controls tests and screen readers reach by name.
    QComboBox *yearPicker() const { return m_years; }
    QComboBox *typefacePicker() const { return m_typeface; }
    QPushButton *shareButton() const { return m_share; }
    // The line that tells the last failure: under the year picker for a
    // year that couldn't be counted, at the foot of the panel for a save.
    QWidget *errorLine() const;

private:
    QWidget *section(const QString &title, QWidget *content);
    SegmentedControl *segments(const QString &name, const QStringList &labels);
    QWidget *buildYears();
    QWidget *buildShape();
    QWidget *buildNames();
    QWidget *buildLook();
    QWidget *buildSharing();
    QWidget *buildSave();
    void refreshYears();
    void refreshNames();
    void refreshSave();
    void refreshError();
    void change(const std::function<void(WrappedSettings &)> &edit);

    WrappedView *m_view;

    QWidget *m_yearSection;
    QComboBox *m_years;
    QList<int> m_yearsShown;
    ErrorRow *m_yearError;

    SegmentedControl *m_shape;
    SegmentedControl *m_names;
    QWidget *m_customNames;
    QVBoxLayout *m_customFields;
    QList<Wrapped::Person> m_namedPeople;
    QList<QLineEdit *> m_nameFields;

    QList<ThemeSwatch *> m_swatches;
    QWidget *m_colours;
    QList<ColorWell *> m_wells;
    QComboBox *m_typeface;

    QCheckBox *m_disclose;

    QLabel *m_count;
    QPushButton *m_saveCards;
    QPushButton *m_saveVideo;
    QPointer<QPushButton> m_focusAfterSave;
    QPushButton *m_copyCaption;
    QWidget *m_progress;
    QProgressBar *m_progressBar;
    QWidget *m_exported;
    QPushButton *m_share;
    ErrorRow *m_error;
};
