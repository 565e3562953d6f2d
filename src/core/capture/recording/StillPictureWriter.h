#pragma once

#include "core/capture/shared/CaptureTypes.h"
#include "core/common/Result.h"

#include <QImage>
#include <QString>

namespace skelvin {

// Writes a still grab to `path`:
// - ".bmp": a 24-bit bitmap, byte for byte as frame selection writes its frame picture;
// - ".jpg", ".jpeg" and ".pic" (the old capture control's own picture type, written as JPEG):
//   JPEG at stillJpegQuality(options), progressive when asked, with the caption drawn with
//   its top-left corner at captionLeft, captionTop (picture pixels). The bitmap gets no
//   caption: it is the picture the measure screen marks.
// The password of the old control protected its own picture type; it is not used.
// With autoIncrement the picture goes to the first free name0001.ext, name0002.ext ... beside
// `path` and never replaces a file; otherwise it replaces `path`. Either way it is written to a
// temporary file first and renamed into place, so a failed write leaves an earlier file whole.
// Gives the path written, or the reason.
Result<QString> writeStillPicture(const QImage &picture, const QString &path,
                                  const StillOptions &options);

// The JPEG quality (1..100) of the still options. The luminance and chrominance factors are
// qualities in percent; Qt's writer has one quality for both, so the larger of those set (above
// 0) is taken and neither loses more than asked; above 100 counts as 100; none set gives 75.
int stillJpegQuality(const StillOptions &options);

// `path` numbered for AutoIncrement: "dir/name.jpg" and 3 give "dir/name0003.jpg".
QString numberedStillPath(const QString &path, int number);

} // namespace skelvin
