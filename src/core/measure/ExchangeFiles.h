#pragma once

#include "core/common/Result.h"

#include <QString>

#include <optional>

namespace skelvin {

class Prompter;

// The files shared with the WSTIMS scoring program in the exchange directory ("qvio" at the
// drive root). The system never creates the directory; while it is missing every write fails
// with its reason and every read finds nothing. The layouts are the scoring program's and must
// not change.
class ExchangeFiles
{
public:
    explicit ExchangeFiles(QString exchangeDir);

    const QString &directory() const { return m_dir; }
    QString file(const QString &name) const;
    // The picture the scoring program leaves for the measure screen's snapshot button.
    QString snapshotPath() const;

    // Results of a recorded jump: rewrites "qvresult.dst" with the status line, then appends
    // the raw line to "qvraw.dst". A write that fails stops there: the reason is returned and
    // the write not yet done is skipped.
    Failure writeResult(const QString &statusLine, const QString &rawLine) const;

    // The skier's name: the first field of "qvskier.nam". When the file cannot be read or holds
    // no name, the operator is told why and nothing is returned (the skier boxes stay as they are).
    std::optional<QString> readSkierName(Prompter &prompter) const;

    // Whether the first field of "clipflag.txt" is exactly "Ready" (a picture waits on the
    // clipboard). A missing, empty or unreadable flag file is simply not ready.
    bool pictureReady() const;
    // Rewrites "clipflag.txt" with one line of two blanks once the picture has been taken.
    Failure clearPictureFlag() const;

    // Deletes every "*.bmp" of the exchange directory; a missing directory, a missing picture or
    // one that cannot be deleted is passed over.
    void deletePictures() const;

    static const QString kResultFile;
    static const QString kRawFile;
    static const QString kSkierNameFile;
    static const QString kFlagFile;
    static const QString kSnapshotFile;
    static const QString kWriteErrorText;  // "Error while writing WSTIMS result: "
    static const QString kNameErrorText;   // "Error while reading WSTIMS name file: "
    static const QString kSnapshotWarning; // the snapshot button's warning

private:
    Result<QString> firstField(const QString &name) const;

    QString m_dir;
};

// The status line the scoring program reads: "Fall, 0, 0," or "Pass, 0, 0," followed directly
// by the jump number, otherwise "OK, " metres ", " feet ", " jump number.
enum class ExchangeStatus { Ok, Fall, Pass };
QString ExchangeResultLine(ExchangeStatus status, const QString &metresText,
                           const QString &feetText, const QString &jumpNoText);

// The raw-file line: time, " ,", the skier's name up to its first comma, ",", the status line.
QString ExchangeRawLine(const QString &timeText, const QString &skierName,
                        const QString &statusLine);

} // namespace skelvin
