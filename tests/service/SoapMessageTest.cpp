#include "service/Contract.h"
#include "service/SoapEnvelope.h"
#include "service/SoapErrors.h"
#include "service/SoapReply.h"
#include "tests/service/SoapTestSupport.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <optional>

namespace sarn {
namespace {

using testing::SoapEnvelope;

QByteArray Response(const QByteArray& content) {
    return SoapEnvelope("<R xmlns=\"urn:r\">" + content + "</R>");
}

TEST(SoapReplyTest, IntegerResults) {
    struct Row {
        const char* name;
        QByteArray reply;
        std::optional<qint32> value;  // nothing: the call fails
    };
    const std::vector<Row> rows{
        {"blanks around", Response("<LoginResult>  12 \n\t</LoginResult>"), 12},
        {"negative", Response("<LoginResult>-7</LoginResult>"), -7},
        {"smallest", Response("<LoginResult>-2147483648</LoginResult>"), INT32_MIN},
        {"too large", Response("<LoginResult>2147483648</LoginResult>"), std::nullopt},
        {"letters", Response("<LoginResult>12a</LoginResult>"), std::nullopt},
        {"empty", Response("<LoginResult/>"), std::nullopt},
        {"no child", Response(""), std::nullopt},
        {"second child named Return", Response("<Other>1</Other><RETURN>2</RETURN>"), 2},
        {"two children, none Result", Response("<A>1</A><B>2</B>"), std::nullopt},
        {"name and namespace of the response do not matter",
         SoapEnvelope("<x:Anything xmlns:x=\"urn:other\"><v>9</v></x:Anything>"), 9},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        try {
            const SoapResultValue v = ReadSoapReply(row.reply, true);
            ASSERT_TRUE(v.present);
            const qint32 value = SoapIntegerValue(v.utf8);
            EXPECT_EQ(std::optional<qint32>(value), row.value);
        } catch (const MessageError& e) {
            EXPECT_FALSE(row.value.has_value()) << e.what();
        }
    }
}

TEST(SoapReplyTest, TextResults) {
    struct Row {
        const char* name;
        QByteArray content;
        QByteArray value;
    };
    const std::vector<Row> rows{
        {"unchanged, blanks kept", "<S>  a b  </S>", "  a b  "},
        {"only blanks", "<S>   </S>", "   "},
        {"entities decoded", "<S>&lt;x&gt; &amp; &#20013;</S>", "<x> & 中"},
        {"CDATA", "<S><![CDATA[<b>]]></S>", "<b>"},
        {"markup inside is returned as XML", "<S>a<b c=\"1\">d</b></S>", "a<b c=\"1\">d</b>"},
        {"empty", "<S/>", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const SoapResultValue v = ReadSoapReply(Response(row.content), true);
        EXPECT_TRUE(v.present);
        EXPECT_EQ(v.utf8, row.value);
    }
}

TEST(SoapReplyTest, LargeTextResultIsTheReplyBufferItself) {
    const QByteArray image(8 << 20, 'Q');
    QByteArray reply = Response("<GetNewUpdateFileResult>" + image + "</GetNewUpdateFileResult>");
    reply.reserve(reply.size());
    const char* before = reply.constData();
    const SoapResultValue v = ReadSoapReply(std::move(reply), true);
    EXPECT_EQ(v.utf8, image);
    EXPECT_EQ(v.utf8.constData(), before) << "the value was copied";
}

TEST(SoapReplyTest, OperationWithoutResultIgnoresContentButNotFaults) {
    EXPECT_FALSE(ReadSoapReply(Response("<junk/><more/>"), false).present);
    EXPECT_THROW(ReadSoapReply(SoapEnvelope("<soap:Fault><faultstring>x</faultstring>"
                                            "</soap:Fault>"),
                               false),
                 ServiceFault);
}

// Replies from a hostile or broken service end in a MessageError, never in a crash.
TEST(SoapReplyTest, HostileRepliesAreRefused) {
    const QByteArray deep = QByteArray("<a>").repeated(20000) + QByteArray("</a>").repeated(20000);
    const std::vector<std::pair<const char*, QByteArray>> rows{
        {"not XML", "this is not xml"},
        {"no document element", "<?xml version=\"1.0\"?><!-- nothing -->"},
        {"unclosed", SoapEnvelope("<R>").chopped(10)},
        {"doctype with entities",
         "<?xml version=\"1.0\"?><!DOCTYPE e [<!ENTITY a \"aaaaaaaa\"><!ENTITY b \"&a;&a;&a;\">]>" +
             SoapEnvelope("<R><S>&b;</S></R>").mid(38)},
        {"external entity", "<!DOCTYPE e [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" +
                                SoapEnvelope("<R><S>&x;</S></R>").mid(38)},
        {"nesting thousands deep", Response("<S>" + deep + "</S>")},
        {"invalid UTF-8", Response("<S>\xC3\x28</S>")},
        {"overlong UTF-8", Response("<S>\xC0\xAF</S>")},
        {"UTF-8 surrogate", Response("<S>\xED\xA0\x80</S>")},
        {"envelope without children",
         "<e:Envelope xmlns:e=\"http://schemas.xmlsoap.org/soap/envelope/\"/>"},
        {"envelope in another namespace",
         "<e:Envelope xmlns:e=\"http://www.w3.org/2003/05/soap-envelope\"><e:Body/></e:Envelope>"},
        {"two headers",
         "<e:Envelope xmlns:e=\"http://schemas.xmlsoap.org/soap/envelope/\"><e:Header/>"
         "<e:Header/><e:Body/></e:Envelope>"},
    };
    for (const auto& [name, reply] : rows) {
        SCOPED_TRACE(name);
        EXPECT_THROW(ReadSoapReply(reply, true), MessageError);
    }
}

TEST(SoapReplyTest, HeadersWithoutMustUnderstandAreIgnored) {
    const QByteArray reply =
        "<e:Envelope xmlns:e=\"http://schemas.xmlsoap.org/soap/envelope/\"><e:Header>"
        "<h xmlns=\"urn:h\" mustUnderstand=\"0\"/><g e:mustUnderstand=\"1\"/></e:Header>"
        "<e:Body><R><S>ok</S></R></e:Body></e:Envelope>";
    EXPECT_EQ(ReadSoapReply(reply, true).utf8, "ok");
}

TEST(SoapEnvelopeTest, TextIsEscapedSoThatItReadsBackUnchanged) {
    const SoapOperation* op = FindSarnSoapOperation(QStringLiteral("EncryptDESCustomDecryptKey"));
    ASSERT_NE(op, nullptr);
    const QString tricky = QStringLiteral("a&b<c>d\"e'f\r\ng\th ]]> 中");
    const std::vector<SoapArgument> args{QString(), tricky};
    const QByteArray request = BuildSoapRequest(*op, QStringLiteral("urn:a\"b"), args);

    pugi::xml_document document;
    ASSERT_TRUE(document.load_buffer(request.constData(), request.size()));
    const pugi::xml_node operation =
        document.child("SOAP-ENV:Envelope").child("SOAP-ENV:Body").first_child();
    EXPECT_STREQ(operation.name(), "EncryptDESCustomDecryptKey");
    EXPECT_STREQ(operation.attribute("xmlns").value(), "urn:a\"b");
    EXPECT_STREQ(operation.child("decryptKey").child_value(), "");
    EXPECT_EQ(QString::fromUtf8(operation.child("encryptString").child_value()), tricky);
    EXPECT_FALSE(operation.child("encryptString").first_attribute());
}

}  // namespace
}  // namespace sarn
