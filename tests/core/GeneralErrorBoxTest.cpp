#include "core/GeneralErrorBox.h"

#include "platform/Error.h"
#include "tests/support/FakeSarnSoap.h"

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace sarn {
namespace {

using testing::RecordingPresenter;

TEST(GeneralErrorTextTest, AppendsAFullStopUnlessTheLastCharacterSortsAtOrBeforeIt) {
    struct Case {
        QString message;
        QString shown;
    };
    const Case cases[] = {
        {QStringLiteral("Unable to write to /x/info.ini"),
         QStringLiteral("Unable to write to /x/info.ini.")},
        {QStringLiteral("Done."), QStringLiteral("Done.")},
        {QStringLiteral("Stop!"), QStringLiteral("Stop!")},
        {QStringLiteral("Error 404"), QStringLiteral("Error 404.")},  // "4" sorts after "."
        {QStringLiteral("trailing "), QStringLiteral("trailing ")},
        {QStringLiteral("完成。"), QStringLiteral("完成。.")},  // U+3002 sorts after "."
        {QString(), QString()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GeneralErrorText(c.message), c.shown) << c.message.toStdString();
    }
}

TEST(GeneralErrorBoxTest, GuardShowsWhatEscapesAndTheProgramGoesOn) {
    RecordingPresenter boxes;
    GeneralErrorBox errors(boxes);
    EXPECT_FALSE(errors.Guard([] { throw SarnError(QStringLiteral("磁盘已满")); }));
    EXPECT_FALSE(errors.Guard([] { throw std::runtime_error("bad thing"); }));
    EXPECT_FALSE(errors.Guard([] { throw 42; }));
    EXPECT_FALSE(errors.Guard([] { throw SilentAbort(); }));
    EXPECT_TRUE(errors.Guard([] {}));
    ASSERT_EQ(boxes.shown.size(), 3U);
    EXPECT_EQ(boxes.Texts(), (QStringList{QStringLiteral("磁盘已满."), QStringLiteral("bad thing."),
                                          QStringLiteral("Unknown error.")}));
    for (const auto& box : boxes.shown) {
        EXPECT_EQ(box.caption, QStringLiteral("Sarn资讯终端"));
        EXPECT_EQ(box.icon, MessageIcon::Error);
    }
}

TEST(GeneralErrorBoxTest, AFailingBoxDoesNotEscapeEither) {
    RecordingPresenter boxes;
    boxes.onShow = [] { throw std::runtime_error("no display"); };
    GeneralErrorBox errors(boxes);
    EXPECT_FALSE(errors.Guard([] { throw SarnError(QStringLiteral("x")); }));
}

}  // namespace
}  // namespace sarn
