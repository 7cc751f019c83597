#include "printers.h"
#include "typedstream.h"
#include "typedstreamwriter.h"

#include <gtest/gtest.h>

using namespace Brimlow;

TEST(TypedStream, ReadsTheTextOfAnArchiveAsMessagesWritesIt)
{
    // The start of an attributedBody as a Mac wrote it: the attributed
    // string, its NSString with the text, then the first attribute run.
    const QByteArray archive
        = QByteArray::fromHex("040b73747265616d747970656481e803840140848484124e534174747269627574656453747269"
                              "6e67008484084e534f626a656374008592848484084e53537472696e67019484012b0568656c6c"
                              "6f86840269490105928484840c4e5344696374696f6e617279009484016901928496961d5f5f6b"
                              "494d4d657373616765506172744174747269627574654e616d658692848484084e534e756d6265"
                              "72008484074e5356616c7565009484012a849b9b00868686");
    EXPECT_EQ(TypedStream::attributedText(archive), QString("hello"));
}

TEST(TypedStream, ReadsTextsOfEveryLength)
{
    for (const QString &text : { QString(), QString("a"), QString("ok 👍 déjà vu"), QString(200, QChar('x')),
             QString(40000, QChar(0x00E9)) }) {
        const QByteArray archive = TypedStreamWriter::attributedString(text);
        EXPECT_EQ(TypedStream::attributedText(archive), text) << text.size();
    }
}

TEST(TypedStream, RefusesWhatIsNoArchive)
{
    EXPECT_FALSE(TypedStream::attributedText(QByteArray()).has_value());
    EXPECT_FALSE(TypedStream::attributedText("just some text").has_value());
    EXPECT_FALSE(TypedStream::attributedText(QByteArray::fromHex("040b747970656473747265616d")).has_value());
    // A big-endian archive with nothing after its header holds no string.
    EXPECT_FALSE(
        TypedStream::attributedText(QByteArray::fromHex("040b747970656473747265616d81e803")).has_value());
}
