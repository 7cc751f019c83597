#include "multipart.h"

#include <gtest/gtest.h>

namespace {

const QByteArray type = "multipart/form-data; boundary=qv-1";

} // namespace

TEST(Multipart, ReadsFieldsAndFilesWithTheirNamesAsSent)
{
    const QByteArray body
        = "--qv-1\r\nContent-Disposition: form-data; name=\"kind\"\r\n\r\nshare\r\n"
          "--qv-1\r\nContent-Disposition: form-data; name=\"screenshot\"; filename=\"a%22b \\\"c.png\"\r\n"
          "Content-Type: image/png\r\n\r\n\x89PNG\r\n--qv-0 is not the boundary\r\n"
          "--qv-1--\r\n";
    const std::optional<QList<Multipart::Part>> parts = Multipart::parse(body, type);
    ASSERT_TRUE(parts);
    ASSERT_EQ(parts->size(), 2);
    EXPECT_EQ(parts->at(0).name, QByteArray("kind"));
    EXPECT_EQ(parts->at(0).content, QByteArray("share"));
    EXPECT_FALSE(parts->at(0).fileName);
    EXPECT_EQ(parts->at(1).fileName, QByteArray("a%22b \"c.png"));
    EXPECT_EQ(parts->at(1).contentType, QByteArray("image/png"));
    EXPECT_EQ(parts->at(1).content, QByteArray("\x89PNG\r\n--qv-0 is not the boundary"));
}

TEST(Multipart, RefusesBodiesThatAreNotWellFormed)
{
    const QByteArray field = "--qv-1\r\nContent-Disposition: form-data; name=\"kind\"\r\n\r\nshare\r\n";
    EXPECT_FALSE(Multipart::parse(field, type)) << "no closing line";
    EXPECT_FALSE(Multipart::parse(field + "--qv-1--\r\n", "multipart/form-data"));
    EXPECT_FALSE(Multipart::parse(field + "--qv-1--\r\n", "application/json"));
    EXPECT_FALSE(Multipart::parse("--qv-1\r\nContent-Type: text/plain\r\n\r\nx\r\n--qv-1--\r\n", type))
        << "no name";
    EXPECT_TRUE(Multipart::parse(field + "--qv-1--\r\n", type));
}
