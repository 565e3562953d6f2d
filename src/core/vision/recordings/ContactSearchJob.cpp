#include "core/vision/recordings/ContactSearchJob.h"

#include <QMetaObject>
#include <QPointer>

namespace skelvin {

ContactSearchJob::ContactSearchJob(QObject *parent) : QObject(parent) {}

ContactSearchJob::~ContactSearchJob()
{
    cancel();
}

void ContactSearchJob::cancel()
{
    m_stop->store(true);
    if (m_worker.joinable())
        m_worker.join();
}

void ContactSearchJob::start(const QString &videoPath, const Grid &grid,
                             std::shared_ptr<RecordingContactSearch> recorded)
{
    cancel();
    m_stop = std::make_shared<std::atomic<bool>>(false);
    m_done = std::make_shared<std::atomic<bool>>(false);
    QPointer<ContactSearchJob> self(this);
    m_worker = std::thread([self, videoPath, grid, recorded, stop = m_stop, done = m_done] {
        const auto stopped = [stop] { return stop->load(); };
        std::optional<ContactSearch> early;
        if (recorded)
            early = recorded->wait(stopped);
        const ContactSearch search = early ? *early : searchContact(videoPath, grid, stopped);
        done->store(true);
        if (stop->load())
            return;
        // The job is joined before it goes, so it is still there when this is delivered, or
        // the delivery is dropped with the job's thread's queue.
        QMetaObject::invokeMethod(
            self.data(),
            [self, videoPath, search, stop] {
                if (self && !stop->load())
                    emit self->finished(videoPath, search);
            },
            Qt::QueuedConnection);
    });
}

} // namespace skelvin
