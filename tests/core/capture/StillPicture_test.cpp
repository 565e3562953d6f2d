#include "core/capture/recording/StillPictureWriter.h"
#include "core/frames/FramePicture.h"
#include "core/frames/cDIB.h"
#include "core/simulation/SimulatedScene.h"
#include "support/TestDirs.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

namespace {

QImage view()
{
    return SimulatedScene().render(QSize(640, 480), 1.0, std::nullopt, 3);
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// JPEG start-of-frame markers: baseline FF C0, progressive FF C2.
bool hasMarker(const QByteArray &bytes, char marker)
{
    return bytes.contains(QByteArray("\xFF") + marker);
}

} // namespace

TEST(StillPicture, BitmapIsTheFramePictureByteForByteWithoutCaption)
{
    TestDirs dirs;
    const QImage picture = view();
    StillOptions options;
    options.caption = QStringLiteral("Jump 2");
    const QString path = dirs.file(QStringLiteral("currentcapture.bmp"));
    dirs.writeFile(QStringLiteral("currentcapture.bmp"), "an older picture");
    const Result<QString> written = writeStillPicture(picture, path, options);
    ASSERT_TRUE(written) << written.error().toStdString();
    EXPECT_EQ(written.value(), path);
    cDIB dib;
    ASSERT_TRUE(dib.CreateFromPackedDIBPointer(packedBitmap24(picture)));
    const QByteArray bytes = TestDirs::readFile(path);
    EXPECT_EQ(bytes, dib.fileBytes());
    EXPECT_EQ(bytes[28], 24);
    EXPECT_EQ(filesIn(dirs.root()), QStringList{"currentcapture.bmp"}); // no temporary left
}

TEST(StillPicture, JpegKeepsTheOptionsAndPicIsJpegToo)
{
    TestDirs dirs;
    const QImage picture = view();
    StillOptions options;
    options.lumFactor = 90;
    options.chromFactor = 40;
    options.progressiveJpeg = true;
    const Result<QString> progressive =
        writeStillPicture(picture, dirs.file(QStringLiteral("p.jpg")), options);
    ASSERT_TRUE(progressive) << progressive.error().toStdString();
    const QByteArray progressiveBytes = TestDirs::readFile(progressive.value());
    EXPECT_TRUE(hasMarker(progressiveBytes, '\xC2'));
    EXPECT_EQ(QImage::fromData(progressiveBytes).size(), picture.size());

    options.progressiveJpeg = false;
    options.lumFactor = 10;
    options.chromFactor = 10;
    const Result<QString> small =
        writeStillPicture(picture, dirs.file(QStringLiteral("s.pic")), options);
    ASSERT_TRUE(small) << small.error().toStdString();
    const QByteArray smallBytes = TestDirs::readFile(small.value());
    EXPECT_TRUE(smallBytes.startsWith("\xFF\xD8"));
    EXPECT_TRUE(hasMarker(smallBytes, '\xC0'));
    EXPECT_LT(smallBytes.size(), progressiveBytes.size() / 2);

    EXPECT_EQ(stillJpegQuality({}), 75);
    StillOptions high;
    high.chromFactor = 250;
    EXPECT_EQ(stillJpegQuality(high), 100);
}

TEST(StillPicture, CaptionIsDrawnAtItsLeftAndTop)
{
    TestDirs dirs;
    QImage grey(320, 240, QImage::Format_RGB32);
    grey.fill(QColor(60, 60, 60));
    StillOptions options;
    options.lumFactor = 95;
    options.caption = QStringLiteral("JUMP 3");
    options.captionLeft = 100;
    options.captionTop = 150;
    const Result<QString> written =
        writeStillPicture(grey, dirs.file(QStringLiteral("c.jpg")), options);
    ASSERT_TRUE(written);
    const QImage back(written.value());
    int bright = 0, brightElsewhere = 0;
    for (int y = 0; y < back.height(); ++y)
        for (int x = 0; x < back.width(); ++x) {
            const bool inBox = x >= 100 && x < 200 && y >= 150 && y < 175;
            // JPEG rings a pixel or two around the letters.
            const bool nearBox = x >= 96 && x < 210 && y >= 146 && y < 180;
            if (qGray(back.pixel(x, y)) > 180) {
                bright += inBox;
                brightElsewhere += !nearBox;
            }
        }
    EXPECT_GT(bright, 20);
    EXPECT_EQ(brightElsewhere, 0);
}

TEST(StillPicture, AutoIncrementNumbersTheFilesAndNeverReplacesOne)
{
    TestDirs dirs;
    const QImage picture = view();
    StillOptions options;
    options.autoIncrement = true;
    const QString path = dirs.file(QStringLiteral("grab.jpg"));
    dirs.writeFile(QStringLiteral("grab0002.jpg"), "kept");
    EXPECT_EQ(writeStillPicture(picture, path, options).value(), dirs.file("grab0001.jpg"));
    EXPECT_EQ(writeStillPicture(picture, path, options).value(), dirs.file("grab0003.jpg"));
    EXPECT_EQ(writeStillPicture(picture, path, options).value(), dirs.file("grab0004.jpg"));
    EXPECT_EQ(TestDirs::readFile(dirs.file("grab0002.jpg")), QByteArray("kept"));
    EXPECT_EQ(filesIn(dirs.root()),
              (QStringList{"grab0001.jpg", "grab0002.jpg", "grab0003.jpg", "grab0004.jpg"}));
    EXPECT_EQ(numberedStillPath(QStringLiteral("a/b.c/name.bmp"), 12),
              QStringLiteral("a/b.c/name0012.bmp"));
}

TEST(StillPicture, WhatCannotBeWrittenIsToldAndWritesNothing)
{
    TestDirs dirs;
    const QString png = dirs.file(QStringLiteral("x.png"));
    EXPECT_EQ(writeStillPicture(view(), png, {}).error(),
              png + QStringLiteral(" cannot be written: a still picture is a .bmp, .jpg, .jpeg "
                                   "or .pic file"));
    const QString lost = dirs.file(QStringLiteral("gone/x.jpg"));
    EXPECT_EQ(writeStillPicture(view(), lost, {}).error(),
              lost + QStringLiteral(" cannot be written: the folder ") + dirs.file("gone") +
                  QStringLiteral(" does not exist"));
    EXPECT_EQ(writeStillPicture(QImage(), dirs.file(QStringLiteral("x.bmp")), {}).error(),
              QStringLiteral("There is no picture to write"));
    EXPECT_TRUE(filesIn(dirs.root()).isEmpty());
}
