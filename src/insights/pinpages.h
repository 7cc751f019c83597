#pragma once

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

} // namespace PinPages
