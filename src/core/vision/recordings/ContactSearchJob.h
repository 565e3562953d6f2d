#pragma once

#include "core/geometry/Grid.h"
#include "core/vision/recordings/ContactSearch.h"
#include "core/vision/recordings/RecordingContactSearch.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <thread>

namespace skelvin {

// Searches a recording for the first contact on a worker thread, so that the screen showing the
// recording never waits for it. One search at a time: a new one stops the one before, and so
// does the job's end. The result arrives on the job's own thread.
class ContactSearchJob : public QObject
{
    Q_OBJECT

public:
    explicit ContactSearchJob(QObject *parent = nullptr);
    ~ContactSearchJob() override;

    // `recorded`, when given, is the search made while the recording was recorded: its find is
    // awaited, and only should it have given up is the file read.
    void start(const QString &videoPath, const Grid &grid,
               std::shared_ptr<RecordingContactSearch> recorded = nullptr);
    void cancel();
    bool running() const { return m_worker.joinable() && !m_done->load(); }

signals:
    void finished(const QString &videoPath, const skelvin::ContactSearch &search);

private:
    std::thread m_worker;
    std::shared_ptr<std::atomic<bool>> m_stop = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<std::atomic<bool>> m_done = std::make_shared<std::atomic<bool>>(true);
};

} // namespace skelvin
