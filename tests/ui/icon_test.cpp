#include <QIcon>
#include <QImageReader>

#include <gtest/gtest.h>

namespace {

// The window icon is compiled in and holds its three pictures.
TEST(WindowIcon, HoldsThreeImagesInTwoSizes) {
    QImageReader reader(QStringLiteral(":/circle-intersection.ico"));
    ASSERT_EQ(reader.imageCount(), 3) << reader.errorString().toStdString();
    const QIcon icon(QStringLiteral(":/circle-intersection.ico"));
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
}

}  // namespace
