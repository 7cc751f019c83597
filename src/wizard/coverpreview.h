#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

class CoverFrame;
class ErrorLabel;
class SegmentedControl;
class WizardModel;

// The cover step's live picture: the front, or with "Spine and Back" the
// whole sheet, as the model last rendered them, under a soft shadow. While
// there is no picture yet a placeholder stands in, with a spinner only
// while a render is under way; a render that failed says so below. Each
// picture is read once when the model reports it, so a file removed later
// never takes it off the screen.
class CoverPreview : public QWidget
{
    Q_OBJECT

public:
    explicit CoverPreview(WizardModel *model, QWidget *parent = nullptr);

    bool isWholeSheet() const { return m_wholeSheet; }
    void setWholeSheet(bool wholeSheet);
    // The picture drawn now; null while the placeholder shows.
    QImage shown() const;
    // Whether the placeholder turns its spinner.
    bool isWaiting() const;

private:
    void refresh();
    void loadFront();
    void loadSheet();

    QPointer<WizardModel> m_model;
    bool m_wholeSheet = false;
    QString m_frontPath;
    QString m_sheetPath;
    // Read once when the model reports them, so switching sides is at once.
    QImage m_front;
    QImage m_sheet;
    CoverFrame *m_picture;
    SegmentedControl *m_switch;
    ErrorLabel *m_failure;
};
