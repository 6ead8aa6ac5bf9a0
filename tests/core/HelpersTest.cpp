#include "core/Base64Decoder.h"
#include "core/Helpers.h"

#include <QBuffer>

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace sarn {
namespace {

TEST(PasswordDigestTest, IsTheMiddleOfTheMd5OfTheGbkBytes) {
    struct Case {
        QString password;
        QString digest;  // characters 9 to 24 of the lower-case MD5 text
    };
    const Case cases[] = {
        {QString(), QStringLiteral("8f00b204e9800998")},               // d41d8cd9 8f00...
        {QStringLiteral("abc"), QStringLiteral("3cd24fb0d6963f7d")},   // 90015098 3cd2...
        {QStringLiteral("密码"), QStringLiteral("f0c964c5f6242486")},  // of c3 dc c2 eb
        {QStringLiteral("Pass中文123"), QStringLiteral("d27edc3746dec894")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PasswordDigest(c.password), c.digest) << c.password.toStdString();
    }
}

TEST(DecodeBase64TextTest, FillCharactersShortenTheLastGroup) {
    struct Case {
        QByteArray text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"", ""},
        {"QUJD", "ABC"},        // 4n characters, 3n bytes
        {"QUJDREU=", "ABCDE"},  // one "=": 3n-1
        {"QUJDRA==", "ABCD"},   // two "=": 3n-2
        {"1NDO3A==", "\xd4\xd0\xce\xdc"},
        {"////", "\xff\xff\xff"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeBase64Text(c.text), c.bytes) << c.text.constData();
    }
}

TEST(DecodeBase64TextTest, UnevenLengthIsRefused) {
    for (const QByteArray text : {"Q", "QU", "QUJ", "QUJDR", "QUJD\r\n"}) {
        try {
            DecodeBase64Text(text);
            ADD_FAILURE() << "decoded " << text.constData();
        } catch (const DecodeError& error) {
            EXPECT_EQ(error.Message(), QStringLiteral("Uneven size in DecodeToStream."));
        }
    }
}

TEST(Base64DecoderTest, DecodesIntoADeviceAcrossPieces) {
    QByteArray image(200'001, Qt::Uninitialized);  // longer than one piece of the decoder
    for (qsizetype i = 0; i < image.size(); ++i) {
        image[i] = static_cast<char>(i * 131 % 251);
    }
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    Base64Decoder().DecodeToDevice(image.toBase64(), out);
    EXPECT_EQ(out.data(), image);

    QBuffer untouched;
    untouched.open(QIODevice::WriteOnly);
    EXPECT_THROW(Base64Decoder().DecodeToDevice("QUJ", untouched), DecodeError);
    EXPECT_TRUE(untouched.data().isEmpty());
}

TEST(CommaToLinesTest, EveryAsciiCommaBecomesALineBreak) {
    EXPECT_EQ(CommaToLines(QStringLiteral("北京")), QStringLiteral("北京"));
    EXPECT_EQ(CommaToLines(QStringLiteral("a,b")), QStringLiteral("a\r\nb"));
    EXPECT_EQ(CommaToLines(QStringLiteral("a,,b,")), QStringLiteral("a\r\n\r\nb\r\n"));
    EXPECT_EQ(CommaToLines(QStringLiteral("甲，乙")), QStringLiteral("甲，乙"));
}

TEST(StreamToTextTest, ReadsFromTheStartWhateverThePosition) {
    QByteArray bytes("\xd6\xd0 text\0more", 11);
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    stream.seek(5);
    EXPECT_EQ(StreamToText(stream), bytes);
    QBuffer empty;
    empty.open(QIODevice::ReadOnly);
    EXPECT_EQ(StreamToText(empty), QByteArray());
}

}  // namespace
}  // namespace sarn
