#include <cstdlib>

#include "runtime/sys.h"
#include "runtime/zq_rt.h"

struct ZqMutex {
    void* sem;
};

ZqMutex* zq_MutexCreate() {
    auto* m = static_cast<ZqMutex*>(std::malloc(sizeof(ZqMutex)));
    if (!m) return nullptr;
    m->sem = sys_sem_create();
    if (!m->sem) {
        std::free(m);
        return nullptr;
    }
    return m;
}

void zq_MutexDestroy(ZqMutex* m) {
    if (!m) return;
    sys_sem_destroy(m->sem);
    std::free(m);
}

void zq_MutexLock(ZqMutex* m) {
    if (m) sys_sem_wait(m->sem);
}

void zq_MutexUnlock(ZqMutex* m) {
    if (m) sys_sem_post(m->sem);
}
