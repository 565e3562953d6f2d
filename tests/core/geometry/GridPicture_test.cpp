#include "core/common/SettingsStore.h"
#include "core/geometry/GridPicture.h"

#include "support/TestDirs.h"

#include <gtest/gtest.h>

namespace skelvin {
namespace {

// The size kept for a grid follows its file: a load without a picture keeps the size of the same
// file and forgets that of another; what is not a size reads as unknown.
TEST(GridPicture, TheKeptSizeBelongsToTheGridFileItWasKeptFor)
{
    test::TestDirs dirs;
    SettingsStore settings(dirs.file(QStringLiteral("DE05.conf")));
    const QString east = QStringLiteral("/setups/east.ipt");
    EXPECT_EQ(gridPictureSize(settings, 2), QSize());

    rememberGridPicture(settings, 2, QSize(1280, 720), east);
    settings.write(SettingsStore::gridFileKey(2), east);
    EXPECT_EQ(gridPictureSize(settings, 2), QSize(1280, 720));
    EXPECT_EQ(gridPictureSize(settings, 1), QSize());

    rememberGridPicture(settings, 2, QSize(), east);
    EXPECT_EQ(gridPictureSize(settings, 2), QSize(1280, 720));
    rememberGridPicture(settings, 2, QSize(), QStringLiteral("/setups/west.ipt"));
    EXPECT_EQ(gridPictureSize(settings, 2), QSize());

    for (const char *stored : {"1280 x 720", "0x720", "-5x3", "1280x", "big", "99999999x2"}) {
        settings.write(gridPictureSizeKey(3), QString::fromLatin1(stored));
        EXPECT_EQ(gridPictureSize(settings, 3), QSize()) << stored;
    }
}

TEST(GridPicture, OnlyTwoKnownSizesThatDifferAreWarnedAbout)
{
    EXPECT_EQ(wrongGridPictureText(1, QSize(640, 480), QSize(640, 480)), QString());
    EXPECT_EQ(wrongGridPictureText(1, QSize(), QSize(640, 480)), QString());
    EXPECT_EQ(wrongGridPictureText(1, QSize(640, 480), QSize()), QString());
    EXPECT_EQ(wrongGridPictureText(3, QSize(1280, 720), QSize(640, 480)),
              QStringLiteral("This picture is 640 x 480 pixels, grid 3 was built on a 1280 x 720 "
                             "picture: the picture may not belong to this grid. Check the grid "
                             "before recording."));
}

} // namespace
} // namespace skelvin
