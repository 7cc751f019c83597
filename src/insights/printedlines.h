#pragma once

#include <QStringList>
#include <QStringView>
#include <optional>

// The lines a message takes on the book's page, worked out the way each
// layout sets it (templates/novel/messages.typ): its text wrapped word by
// word on the measure the page gives it, ragged and without hyphens, its
// turnover lines hung in, and the marks of its attachments; in the book
// layout the speaker's name run in before it and the time after it where
// the speaker changes, in the chat-room layout the time and screen name
// before every message. Widths are in units of an average lower-case
// letter of the book faces, which the templates size to one width of text,
// so one count serves every face.
namespace PrintedLines {

// The width of a speaker's name as the book runs it in, with the space
// that follows it.
double nameWidth(QStringView name);

// The width of a screen name as the chat-room layout sets it, in bold
// with its colon and the space after it.
double screenNameWidth(QStringView name);

// Whose message it is: the book layout starts the user's at the left
// margin and everyone else's at a margin of their own.
enum class Side { Mine, Theirs };

// What comes before and after a message's text where its speaker's run
// opens: the name run in before it (its width), and the time after it. A
// message that goes on from the one above carries neither, unless its
// speaker writes again after a long silence: then its time, with a name
// of no width.
struct Opening
{
    double name = 0;
};

// The lines a day's heading takes: its own and the blank line above it
// (which a page's top drops, as the page model allows for).
constexpr int dayHeading = 2;

// Lines of one message. A message that prints nothing (no text and no
// attachment) takes none, like the book, which leaves it out.
int ofMessage(QStringView text, const QStringList &media, Side side, std::optional<Opening> opening);

// Lines of one message in the chat-room layout, after the time column and
// the screen name of the given width.
int ofChatLine(QStringView text, const QStringList &media, double screenName);

} // namespace PrintedLines
