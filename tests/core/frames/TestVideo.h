#pragma once

#include <QImage>
#include <QList>
#include <QString>

namespace skelvin::test {

// The codecs the capture side may write, and the inter-frame forms other recorders write:
// MPEG-4 Part 2 with two B-frames in open groups of pictures (as most encoders write it),
// H.264 with open groups of pictures, and MPEG-4 with DivX-style packed B-frames.
enum class TestCodec {
    Uncompressed,
    MotionJpeg,
    Ffv1,
    H264,
    H264BFrames,
    Mpeg4BFrames,
    H264OpenGop,
    Mpeg4Packed,
};

struct TestVideoRecipe
{
    TestCodec codec = TestCodec::MotionJpeg;
    int width = 64;
    int height = 48;
    int frames = 30;
    int rateNum = 30000;
    int rateDen = 1001;
    int gopFrames = 10; // key frame distance of the inter-frame codecs
    // Frames written as empty chunks, as a recorder marks frames it dropped (Motion JPEG and
    // uncompressed only: every other frame must still decode on its own).
    QList<int> droppedFrames;
    // Fine grain over the picture, so that frames cost what a camera's frames cost to code.
    bool cameraDetail = false;
    // Packed MPEG-4 only: placeholder chunks after the last, standing for frames that were
    // never coded, as a writer that cannot flush its encoder at the end leaves them. Each is a
    // frame time more, with no picture of its own.
    int placeholdersAtEnd = 0;
};

// Writes an AVI file through FFmpeg whose every frame carries its own number: a 16-bit stamp
// of black and white 8 x 8 blocks in the top two block rows, above a moving pattern.
// Returns an empty text on success, else why it failed.
QString writeTestVideo(const QString &path, const TestVideoRecipe &recipe);

// FFmpeg's own decode of the whole file, one picture per frame time: the file read in order,
// every picture out of a plain decode placed at its timestamp (counted from the first
// picture's), a frame time without a picture showing the one before. Converted as the frame
// reader converts. Empty with *error set when the file does not decode. storedIn, when given,
// gets for each frame the index of the video packet its picture was decoded from, and
// keyPackets the indexes of the packets the file flags as key frames.
QList<QImage> referenceFrames(const QString &path, QString *error, QList<int> *storedIn = nullptr,
                              QList<int> *keyPackets = nullptr);

// Where the movie chunk ("00dc") of frame n starts in an AVI file's bytes, -1 if not found.
qsizetype movieChunkOffset(const QByteArray &avi, int n);

// The picture the writer stamps for frame n.
QImage stampedPicture(int width, int height, int n, bool cameraDetail = false);

// The number stamped into a decoded picture (top-down), -1 when the stamp does not read.
int readStamp(const QImage &image);

const char *codecLabel(TestCodec codec);

} // namespace skelvin::test
