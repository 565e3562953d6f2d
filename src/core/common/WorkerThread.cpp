#include "core/common/WorkerThread.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

namespace skelvin {

void becomeWorkerThread(const char *name, int nice)
{
    pthread_setname_np(pthread_self(), name);
    // Linux's nice value belongs to the thread, named by its own id.
    [[maybe_unused]] const int rc = setpriority(PRIO_PROCESS, pid_t(gettid()), nice);
}

} // namespace skelvin
