#include "platform/qt/tray_icon_art.h"

#include <gtest/gtest.h>

#include <QImage>

namespace quorvel {
namespace {

// A pixel is bar white when it is (nearly) opaque white.
bool isWhite(QRgb pixel) {
    return qAlpha(pixel) > 240 && qRed(pixel) > 240 && qGreen(pixel) > 240 && qBlue(pixel) > 240;
}

// Columns through the middle row that are white: the five bars, one run each.
std::vector<std::pair<int, int>> whiteRunsOnMiddleRow(const QImage& image) {
    std::vector<std::pair<int, int>> runs;
    const int y = image.height() / 2;
    for (int x = 0; x < image.width(); ++x) {
        if (!isWhite(image.pixel(x, y))) {
            continue;
        }
        if (!runs.empty() && runs.back().second == x - 1) {
            runs.back().second = x;
        } else {
            runs.emplace_back(x, x);
        }
    }
    return runs;
}

TEST(TrayIconArt, EverySizeShowsFiveCrispBarsOnTheDisc) {
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        SCOPED_TRACE(size);
        const QImage image = drawTrayIcon(size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "transparent outside the disc";
        const QRgb disc = image.pixel(size / 2, size / 5);
        EXPECT_EQ(qAlpha(disc), 255);
        EXPECT_GT(qBlue(disc), qRed(disc));
        EXPECT_EQ(whiteRunsOnMiddleRow(image).size(), 5u) << "five separate bars";
    }
}

}  // namespace
}  // namespace quorvel
