#pragma once

#include "core/common/Prompter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <unistd.h>

// What the fuzz targets share: the input as bytes, a file holding it (for readers that take a
// path), and a prompter that answers every question with its default.
namespace skelvin::fuzz {

using Target = int (*)(const std::uint8_t *data, std::size_t size);

// Every target by name, for the test program that replays the kept inputs of each target.
inline std::map<std::string, Target> &targets()
{
    static std::map<std::string, Target> all;
    return all;
}

inline bool registerTarget(const char *name, Target target)
{
    targets()[name] = target;
    return true;
}

inline QByteArray bytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The work folder's path; never destroyed, so that the removal at exit can still read it.
inline const QString *workFolderPath = nullptr;

// A folder of this process in memory-backed /dev/shm when there is one, removed at exit.
inline QString workFolder()
{
    if (!workFolderPath) {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                        : QDir::tempPath();
        workFolderPath = new QString(base + QStringLiteral("/skelvin-fuzz-%1").arg(getpid()));
        QDir().mkpath(*workFolderPath);
        std::atexit([] { QDir(*workFolderPath).removeRecursively(); });
    }
    return *workFolderPath;
}

// Writes the input to `name` in the work folder and gives its path.
inline QString writeInput(const QString &name, const QByteArray &input)
{
    const QString path = workFolder() + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(input);
    return path;
}

inline QString writeInput(const QString &name, const std::uint8_t *data, std::size_t size)
{
    return writeInput(name, bytes(data, size));
}

class SilentPrompter : public Prompter
{
public:
    Answer message(const MessageRequest &request) override
    {
        (void)request.text.size();
        return request.defaultAnswer.value_or(Answer::Ok);
    }
    std::optional<QString> input(const InputRequest &) override { return std::nullopt; }
    std::optional<QString> chooseFile(const FileDialogRequest &) override { return std::nullopt; }
};

} // namespace skelvin::fuzz

// Defines a fuzz target: libFuzzer's entry point in the fuzz build, a registered function in the
// test program (built with SKELVIN_FUZZ_REGISTRY) that holds every target.
#ifdef SKELVIN_FUZZ_REGISTRY
#define SKELVIN_FUZZ_TARGET(name)                                                                \
    static int name##_input(const std::uint8_t *data, std::size_t size);                         \
    [[maybe_unused]] static const bool name##_registered =                                       \
        skelvin::fuzz::registerTarget(#name, &name##_input);                                     \
    static int name##_input(const std::uint8_t *data, std::size_t size)
#else
#define SKELVIN_FUZZ_TARGET(name)                                                                \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
#endif
