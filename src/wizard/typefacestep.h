#pragma once

#include "model/bookfile.h"

#include <QPair>
#include <QPointer>
#include <QWidget>
#include <optional>

class Card;
class ClampedLabel;
class WizardModel;

// The book's typeface, each of three shown on two of the conversation's
// own messages set in it; for a group, first the page layout.
class TypefaceStep : public QWidget
{
    Q_OBJECT

public:
    explicit TypefaceStep(WizardModel *model, QWidget *parent = nullptr);

    struct Face
    {
        QString key;
        QString label;
        QString description;
        QString family;
    };
    static const QList<Face> &faces();

    // My sample and theirs: the first "I love you" and the answer within
    // the 20 messages from it, else the first texts of each side, else
    // "you up?" and "always".
    static QPair<QString, QString> samplePair(
        const BookFile &book, const std::optional<BookFile::Message> &love);

private:
    void refresh();
    void refreshSamples();
    QWidget *layoutPicker();
    Card *faceCard(const Face &face);

    QPointer<WizardModel> m_model;
    QList<QPair<QString, Card *>> m_layouts;
    QList<QPair<QString, Card *>> m_faces;
    // Mine and theirs, face by face.
    QList<ClampedLabel *> m_samples;
};
