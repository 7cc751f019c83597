#pragma once

#include "model/bookfile.h"
#include "ui/formsection.h"

class Project;

// The first section of the sheets that act on one message: what it says
// (in at most three lines) and the day it was sent.
class MessageSummary : public FormSection
{
    Q_OBJECT

public:
    MessageSummary(const Project &project, const BookFile::Message &message, QWidget *parent = nullptr);

    // What a message shows where there is room for a line or three: its
    // text as the book prints it, or "Attachment" when it has none.
    static QString textOf(const Project &project, const BookFile::Message &message);
};
