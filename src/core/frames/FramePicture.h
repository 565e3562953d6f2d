#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace skelvin {

class Prompter;

// A picture as a packed 24-bit bitmap: the 40-byte info header (24 bits per pixel, one plane,
// no compression, image size = rows of width x 3 bytes padded to 4, times height, resolutions
// and colours 0) followed by the rows bottom-up. Any picture format is converted to 24 bits.
QByteArray packedBitmap24(const QImage &image);

// Writes frame `frame` (counted from 0) of the video as a 24-bit bitmap file, as frame
// selection writes the frame picture. Tells the operator when it cannot:
// "No suitable decompressor found for this video stream!" when no decoder reads the video,
// "There was an error working with the file:" with the video's path when the video does not
// open or the frame does not decode, and with the picture's path when the picture cannot be
// written (an earlier picture there is then kept whole). True when the picture was written.
bool writeFramePicture(const QString &videoPath, int frame, const QString &picturePath,
                       Prompter &prompter);

} // namespace skelvin
