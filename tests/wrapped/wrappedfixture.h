#pragma once

#include "model/wrapped.h"

#include <QDir>
#include <QImage>
#include <QString>

using namespace Qt::StringLiterals;

// A Wrapped of two people as the message tool writes one, for drawing.
inline Wrapped sampleWrapped()
{
    Wrapped wrapped;
    wrapped.title = u"{me} & {them}"_s;
    wrapped.people = { { u"me"_s, u"Sam Lee"_s, 1010 }, { u"them"_s, u"Maya Ortiz"_s, 994 } };
    wrapped.total = 2004;
    wrapped.firstDay = u"2024-01-01"_s;
    wrapped.lastDay = u"2024-12-31"_s;
    wrapped.span = u"1 year"_s;
    const int counts[] = { 171, 160, 190, 120, 0, 150, 210, 180, 170, 160, 190, 303 };
    for (int m = 0; m < 12; ++m)
        wrapped.months.append({ QString::asprintf("2024-%02d", m + 1), counts[m] });
    using K = Wrapped::Kind;
    wrapped.cards = {
        { u"cover"_s, K::Cover, u"WRAPPED"_s, u"2,004"_s, 2004, u"messages"_s,
            u"From January 1, 2024 to December 31, 2024."_s,
            { { u"me"_s, u"1,010"_s, 1 }, { u"them"_s, u"994"_s, 0.984 } }, {} },
        { u"talks"_s, K::Talks, u"WHO TALKS MORE"_s, u"{me}"_s, {}, u"sends the most messages"_s,
            u"50% of them."_s, { { u"me"_s, u"1,010"_s, 1 }, { u"them"_s, u"994"_s, 0.984 } }, {} },
        { u"busiest"_s, K::Busiest, u"BUSIEST DAY"_s, u"31"_s, 31, u"messages in one day"_s,
            u"March 3, 2024."_s, { { u"me"_s, u"16"_s, 1 }, { u"them"_s, u"15"_s, 0.9375 } },
            u"2024-03-03"_s },
        { u"love"_s, K::Love, u"THE FIRST \u201CI LOVE YOU\u201D"_s, u"{me}"_s, {}, u"said it first"_s,
            u"February 14, 2024, {them} said it back 2 hours later."_s, {}, u"2024-02-14"_s },
        { u"words"_s, K::Words, u"IN YOUR WORDS"_s, u""_s, {}, u"each of you, in one word"_s, u""_s,
            { { u"me"_s, u"\u201Cpasta\u201D 212\u00D7"_s, 1 },
                { u"them"_s, u"\u201Ctonight\u201D 180\u00D7"_s, 1 } },
            {} },
        { u"emoji"_s, K::Emoji, u"FAVOURITE EMOJI"_s, u"\U0001F602"_s, {}, u"used 1,204 times"_s, u""_s,
            { { u"them"_s, u"\U0001F602 800"_s, 1 }, { u"me"_s, u"\u2764\uFE0F 404"_s, 0.505 } }, {} },
        { u"moment-birthday-them|07-14"_s, K::Moment, u"BIRTHDAY"_s, u"\U0001F382"_s, {},
            u"Maya Ortiz's birthday"_s, u"Jul 14. Celebrated here."_s, {}, u"2024-07-14"_s },
        { u"superlatives"_s, K::Superlatives, u"SUPERLATIVES"_s, u""_s, {}, u""_s, u""_s,
            { { u"me"_s, u"Most messages"_s, 1 }, { u"them"_s, u"Night owl"_s, 1 } }, {} },
    };
    wrapped.defaultSelection = { u"cover"_s, u"talks"_s, u"busiest"_s, u"love"_s, u"words"_s };
    wrapped.years = { { 2024, 2004 } };
    return wrapped;
}

