#include "core/common/FileFaults.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

namespace skelvin {

namespace {

struct Fault
{
    FileFaultKind kind = FileFaultKind::DiskFull;
    qint64 bytesFree = 0;
};

struct FaultTable
{
    std::mutex mutex;
    std::map<QString, Fault> byFolder; // clean absolute path of a folder or file, ending in '/'
};

FaultTable &table()
{
    static FaultTable faults;
    return faults;
}

QString folderKey(const QString &folder)
{
    QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!clean.endsWith(QLatin1Char('/')))
        clean += QLatin1Char('/');
    return clean;
}

// The fault of the nearest folder holding `path`; the table is locked by the caller.
Fault *faultFor(FaultTable &faults, const QString &path)
{
    if (faults.byFolder.empty())
        return nullptr;
    // A fault may be set on one file as well as on a folder.
    const QString file = QDir::cleanPath(QFileInfo(path).absoluteFilePath()) + QLatin1Char('/');
    Fault *found = nullptr;
    qsizetype longest = -1;
    for (auto &[folder, fault] : faults.byFolder) {
        if (file.startsWith(folder) && folder.size() > longest) {
            found = &fault;
            longest = folder.size();
        }
    }
    return found;
}

} // namespace

void FileFaults::set(const QString &folder, FileFaultKind kind, qint64 bytesFree)
{
    FaultTable &faults = table();
    const std::lock_guard lock(faults.mutex);
    faults.byFolder[folderKey(folder)] = Fault{kind, std::max<qint64>(0, bytesFree)};
}

void FileFaults::clear(const QString &folder)
{
    FaultTable &faults = table();
    const std::lock_guard lock(faults.mutex);
    if (folder.isEmpty())
        faults.byFolder.clear();
    else
        faults.byFolder.erase(folderKey(folder));
}

int FileFaults::openError(const QString &path)
{
    FaultTable &faults = table();
    const std::lock_guard lock(faults.mutex);
    const Fault *fault = faultFor(faults, path);
    return fault && fault->kind == FileFaultKind::ReadOnly ? EROFS : 0;
}

qint64 FileFaults::writable(const QString &path, qint64 wanted)
{
    FaultTable &faults = table();
    const std::lock_guard lock(faults.mutex);
    Fault *fault = faultFor(faults, path);
    if (!fault)
        return wanted;
    if (fault->kind == FileFaultKind::ReadOnly)
        return 0;
    const qint64 granted = std::min(wanted, fault->bytesFree);
    fault->bytesFree -= granted;
    return granted;
}

QString FileFaults::reasonText(int errnum)
{
    return QString::fromLocal8Bit(std::strerror(errnum));
}

} // namespace skelvin
