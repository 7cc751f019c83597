#include "insights/phrasematcher.h"

#include <gtest/gtest.h>
#include <random>

using namespace Qt::StringLiterals;

// Overlapping phrases, phrases inside others and a character beyond Latin-1
// are where a matcher's failure links go wrong; plain substring tests are
// the reference.
TEST(PhraseMatcher, findsWhatPlainSubstringTestsFind)
{
    const QStringList phrases { u"he"_s, u"she"_s, u"hers"_s, u"his"_s, u"happy anni"_s,
        u"happy anniversary"_s, u"hbd "_s, u"a"_s, u"we\u2019re"_s, u"ere e"_s, u"sh"_s };
    const PhraseMatcher matcher(phrases);
    const QString alphabet = u"abdehinprsvwy \u2019\u00E9"_s;
    std::mt19937 random(11);
    for (int round = 0; round < 5000; ++round) {
        QString text;
        const int length = int(random() % 24);
        for (int i = 0; i < length; ++i)
            text += alphabet[int(random() % alphabet.size())];
        if (round % 7 == 0)
            text.insert(int(random() % (text.size() + 1)), phrases[int(random() % phrases.size())]);
        const PhraseMatcher::Found found = matcher.find(text);
        for (int p = 0; p < phrases.size(); ++p)
            ASSERT_EQ(found[p], text.contains(phrases[p]))
                << text.toStdString() << " / " << phrases[p].toStdString();
    }
}
