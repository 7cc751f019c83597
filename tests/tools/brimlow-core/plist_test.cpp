#include "plist.h"
#include "printers.h"

#include <gtest/gtest.h>

using namespace Brimlow;

namespace {

// A binary property list of one UTF-16 string object, written by hand as
// the format lays it out: header, object, offset table, trailer.
QByteArray binaryString(const QString &text)
{
    QByteArray plist = "bplist00";
    plist += char(0x60 | text.size());
    for (const QChar c : text) {
        plist += char(c.unicode() >> 8);
        plist += char(c.unicode() & 0xFF);
    }
    const char offsetTable = 8;
    const qsizetype tableAt = plist.size();
    plist += offsetTable;
    QByteArray trailer(32, '\0');
    trailer[6] = 1; // offset size
    trailer[7] = 1; // reference size
    trailer[15] = 1; // objects
    trailer[31] = char(tableAt);
    return plist + trailer;
}

} // namespace

TEST(Plist, StringsAreReadWithTheirLengthAndOnlyAsText)
{
    EXPECT_EQ(Plist::string(Plist::fromBytes(binaryString("Robin")).root()), "Robin");
    // libplist's copying accessor aborts on a string holding a NUL.
    const Plist withNul = Plist::fromBytes(binaryString(QString::fromUtf16(u"ab\0cd", 5)));
    ASSERT_FALSE(withNul.isNull());
    EXPECT_FALSE(Plist::string(withNul.root()));
    EXPECT_EQ(Plist::string(Plist::fromBytes(binaryString(u"caf\u00E9"_qs)).root()), u"caf\u00E9"_qs);
}
