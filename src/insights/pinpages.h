#pragma once

#include <QList>
#include <QString>
#include <optional>

// What pinning a message to a page costs. The book breaks the page before
// the message and puts blank pages in until it starts the page asked for
// (templates/novel/messages.typ); a page before the one it lands on by
// itself, or too far on, is not honoured and adds nothing.
namespace PinPages {

// The most blank pages the book puts in for one pin.
inline constexpr int most = 1000;

// Pages a pin to page asked adds before a message that lands on page
// natural by itself: asked less natural, or 0 when the pin isn't honoured.
int added(int asked, int natural);

// What the pin costs, said before it is made: "Page 123 adds about 89
// blank pages before it.", or that a page too far on leaves the message
// where it lands; none when it costs nothing.
std::optional<QString> cost(int asked, int natural);

// Whether the book puts a message pinned to page asked on that page: not
// before where it lands by itself, nor too far on.
bool honoured(int asked, int natural);

// A pin of a message further on in the book: the page asked and the page
// the message lands on by itself, as things stand.
struct Placed
{
    int page = 0;
    int natural = 0;
};

// A pin pushed off its page, and where its message would go instead.
struct Moved
{
    int page = 0;
    int to = 0;

    friend bool operator==(const Moved &, const Moved &) = default;
};

// The first pin of later (in book order) that a change of shift pages
// before them (the blank pages a new pin adds, less those of the pin it
// replaces) pushes off the page it holds now. A pin's own blank pages take
// up what comes before it, so only what is left goes on to the next.
std::optional<Moved> displaced(int shift, const QList<Placed> &later);

// Says so before the pin is made: "The pin on page 123 can't stay there: it
// would move to page 571."
QString movedText(const Moved &moved);

} // namespace PinPages
