#pragma once

#include <QPointer>
#include <QWidget>

class CoverStep;
class PhotoStrip;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class Spinner;
class WizardModel;

// The "Painted for You" tab: a few words, a look, and the service paints
// two covers at a time, optionally from up to three of the user's photos.
// The paintings of this wizard show as a row; a click puts one on the
// cover.
class CoverPaint : public QWidget
{
    Q_OBJECT

public:
    explicit CoverPaint(CoverStep *step, QWidget *parent = nullptr);

    struct Look
    {
        QString key;
        QString label;
    };
    static const QList<Look> &looks();
    // Suggestions for the words, from what the conversation holds.
    static QStringList paintIdeas(const WizardModel &model);
    // Whether words are enough to paint: three characters once spaces and
    // tabs are off both ends (line breaks count).
    static bool canPaint(const QString &prompt);

    QString prompt() const;
    void setPrompt(const QString &prompt);
    QString artStyle() const { return m_artStyle; }
    void setArtStyle(const QString &key);
    // Asks for two paintings of the words, look and references as they are.
    void paint();

    QPushButton *paintButton() const { return m_paintButton; }
    PhotoStrip *references() const { return m_referenceStrip; }
    // The paintings shown in the row, newest first.
    QStringList shownPaintings() const;
    void setUsingReferences(bool open);

private:
    QWidget *buildReferences();
    void refresh();
    void refreshPaintings();
    void fillIdeas();

    QPointer<CoverStep> m_step;
    QPointer<WizardModel> m_model;
    QString m_artStyle = QStringLiteral("watercolour");
    bool m_usingReferences = false;

    QPlainTextEdit *m_prompt;
    QToolButton *m_ideas;
    QComboBox *m_look;
    Spinner *m_spinner;
    QPushButton *m_paintButton;
    QWidget *m_paintingsRow;
    QHBoxLayout *m_paintingsLayout;
    QStringList m_shown;
    QToolButton *m_disclosure;
    QWidget *m_referenceBox;
    PhotoStrip *m_referenceStrip;
    QLabel *m_notice;
};
