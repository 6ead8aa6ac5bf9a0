#include "login/SkinWidgets.h"
#include "platform/image/JpegDecoder.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

namespace sarn {
namespace {

QByteArray Resource(const QString& name) {
    QFile file(name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

TEST(DecodeJpeg, DecodesTheBackgroundAndAgreesWithQt) {
    const QByteArray jpeg = Resource(QStringLiteral(":/login/background.jpg"));
    const QImage image = DecodeJpeg(jpeg);
    ASSERT_EQ(image.size(), QSize(246, 500));
    // Blue artwork: the top rows are clearly blue.
    const QColor top = image.pixelColor(5, 5);
    EXPECT_GT(top.blue(), top.red() + 60);
    // Same pixels as an independent decoder, within rounding.
    QImage reference;
    if (reference.loadFromData(jpeg, "JPEG")) {
        reference = reference.convertToFormat(QImage::Format_RGB32);
        for (const QPoint p : {QPoint(0, 0), QPoint(123, 78), QPoint(245, 499), QPoint(60, 300)}) {
            EXPECT_LE(std::abs(qRed(image.pixel(p)) - qRed(reference.pixel(p))), 2);
            EXPECT_LE(std::abs(qBlue(image.pixel(p)) - qBlue(reference.pixel(p))), 2);
        }
    }
}

TEST(DecodeJpeg, DecodesGreyscale) {
    QImage grey(8, 4, QImage::Format_Grayscale8);
    grey.fill(200);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!grey.save(&buffer, "JPEG")) {
        GTEST_SKIP() << "no JPEG writer to make the sample";
    }
    const QImage image = DecodeJpeg(bytes);
    ASSERT_EQ(image.size(), QSize(8, 4));
    EXPECT_NEAR(qRed(image.pixel(3, 2)), 200, 3);
    EXPECT_EQ(qRed(image.pixel(3, 2)), qBlue(image.pixel(3, 2)));
}

TEST(DecodeJpeg, RefusesWhatIsNoJpeg) {
    const QByteArray jpeg = Resource(QStringLiteral(":/login/background.jpg"));
    for (const QByteArray& bad : {QByteArray(), QByteArray("not a picture"), jpeg.left(2),
                                  Resource(QStringLiteral(":/login/closeBmp.bmp"))}) {
        EXPECT_THROW(DecodeJpeg(bad), JpegError);
    }
}

TEST(WithTransparentCorner, DropsEveryPixelOfTheBottomLeftColour) {
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(QColor(10, 20, 30));
    picture.setPixelColor(0, 2, QColor(255, 0, 255));
    picture.setPixelColor(2, 0, QColor(255, 0, 255));
    const QImage keyed = WithTransparentCorner(picture);
    EXPECT_EQ(qAlpha(keyed.pixel(0, 2)), 0);
    EXPECT_EQ(qAlpha(keyed.pixel(2, 0)), 0);
    EXPECT_EQ(keyed.pixel(1, 1), qRgb(10, 20, 30));
}

TEST(SkinBitmaps, HaveTheirSizesAndAreTwentyFourBit) {
    const struct {
        const char* name;
        QSize size;
    } bitmaps[] = {{"closeLeaveBmp", {43, 17}}, {"closeBmp", {42, 17}}, {"minLeaveBmp", {26, 17}},
                   {"minBmp", {26, 17}},        {"btnLogin", {75, 23}}, {"btnReg", {75, 23}}};
    for (const auto& b : bitmaps) {
        const QByteArray file =
            Resource(QStringLiteral(":/login/%1.bmp").arg(QLatin1String(b.name)));
        ASSERT_GT(file.size(), 30) << b.name;
        EXPECT_EQ(file[28], 24) << b.name;  // bits per pixel in the info header
        EXPECT_EQ(QImage::fromData(file).size(), b.size) << b.name;
    }
}

}  // namespace
}  // namespace sarn
