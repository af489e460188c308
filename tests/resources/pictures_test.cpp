// Pictures and cursor drawn in code: sizes, the states of keys and recorder buttons, the cursor.
#include "resources/pictures.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

QImage image(int id, QSize size = QSize())
{
    const QPixmap pm = size.isEmpty() ? res::LoadResPicture(id) : res::LoadResPicture(id, size);
    return pm.toImage().convertToFormat(QImage::Format_ARGB32);
}

// Pixels of a clearly coloured (not grey) tone: the symbol of a recorder button.
int colouredPixels(const QImage& img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.alpha() > 200 && c.hsvSaturationF() > 0.3) ++n;
        }
    return n;
}

}  // namespace

TEST(Pictures, EveryIdHasItsSizeAndOthersNone)
{
    for (int id = res::WhiteKeyUp; id <= res::BlackKeyDown; ++id)
        EXPECT_EQ(res::LoadResPicture(id).deviceIndependentSize().toSize(), QSize(15, 60)) << id;
    EXPECT_EQ(res::LoadResPicture(res::StartupPicture).deviceIndependentSize().toSize(), QSize(400, 290));
    for (int id = res::PlayIdle; id <= res::RecordActive; ++id)
        EXPECT_EQ(res::LoadResPicture(id).deviceIndependentSize().toSize(), QSize(28, 28)) << id;
    for (int id : {0, 101, 113, 501})
        EXPECT_TRUE(res::LoadResPicture(id).isNull()) << id;
    EXPECT_TRUE(res::LoadResPicture(res::WhiteKeyUp, QSize(0, 60)).isNull());

    const QPixmap big = res::LoadResPicture(res::BlackKeyDown, QSize(30, 120));
    EXPECT_EQ(big.deviceIndependentSize().toSize(), QSize(30, 120));
}

TEST(Pictures, KeysFillTheirBoxAndShowTheirState)
{
    const QImage whiteUp = image(res::WhiteKeyUp);
    const QImage whiteDown = image(res::WhiteKeyDown);
    const QImage blackUp = image(res::BlackKeyUp);
    const QImage blackDown = image(res::BlackKeyDown);
    EXPECT_NE(whiteUp, whiteDown);
    EXPECT_NE(blackUp, blackDown);

    // Keys stand side by side: each covers its box across the whole width.
    for (const QImage* img : {&whiteUp, &whiteDown, &blackUp, &blackDown})
        for (int x = 0; x < img->width(); ++x) EXPECT_EQ(img->pixelColor(x, 30).alpha(), 255) << x;

    const QColor wu = whiteUp.pixelColor(7, 25);
    const QColor wd = whiteDown.pixelColor(7, 25);
    const QColor bu = blackUp.pixelColor(7, 25);
    const QColor bd = blackDown.pixelColor(7, 25);
    EXPECT_GT(wu.lightness(), 230);
    EXPECT_LT(bu.lightness(), 70);
    EXPECT_LT(wu.hsvSaturationF(), 0.1);
    // A pressed key is tinted, plainly different from the key at rest.
    EXPECT_GT(wd.hsvSaturationF(), 0.2);
    EXPECT_GT(bd.hsvSaturationF(), 0.4);
    EXPECT_GT(bd.lightness(), bu.lightness() + 20);
}

TEST(Pictures, ActiveRecorderButtonsShowTheirSymbolSmaller)
{
    QList<QImage> all;
    for (int id = res::PlayIdle; id <= res::RecordActive; id += 2) {
        const QImage idle = image(id);
        const QImage active = image(id + 1);
        const int idlePixels = colouredPixels(idle);
        const int activePixels = colouredPixels(active);
        EXPECT_GT(activePixels, 20) << id;
        EXPECT_LT(activePixels, idlePixels) << id;
        all << idle << active;
    }
    for (int i = 0; i < all.size(); ++i)
        for (int j = i + 1; j < all.size(); ++j) EXPECT_NE(all[i], all[j]) << i << " " << j;
}

TEST(Pictures, StartupPictureCoversTheWindow)
{
    const QImage img = image(res::StartupPicture);
    for (const QPoint pt : {QPoint(0, 0), QPoint(399, 0), QPoint(0, 289), QPoint(399, 289), QPoint(200, 145)})
        EXPECT_EQ(img.pixelColor(pt).alpha(), 255) << pt.x() << "," << pt.y();
    // Drawn for a larger window it is a larger drawing, not an empty one.
    const QImage big = image(res::StartupPicture, QSize(800, 580));
    EXPECT_EQ(big.size(), QSize(800, 580));
    EXPECT_EQ(big.pixelColor(799, 579).alpha(), 255);
}

TEST(Pictures, PlayingCursorIsANoteWithItsHotSpotOnIt)
{
    const QCursor cursor = res::LoadResCursor(res::PlayingCursor);
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    const QImage img = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(img.isNull());
    const QPoint hot = cursor.hotSpot() * cursor.pixmap().devicePixelRatio();
    ASSERT_TRUE(img.rect().contains(hot));
    EXPECT_EQ(img.pixelColor(hot).alpha(), 255);
    EXPECT_LT(img.pixelColor(hot).lightness(), 60);
    EXPECT_EQ(img.pixelColor(img.width() - 1, img.height() - 1).alpha(), 0);  // the rest is see-through

    EXPECT_EQ(res::LoadResCursor(500).shape(), Qt::ArrowCursor);
}
