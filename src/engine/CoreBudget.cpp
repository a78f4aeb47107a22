#include "engine/CoreBudget.h"

#include <sched.h>

#include <algorithm>
#include <thread>

namespace tessival {

CoreBudget::Lease& CoreBudget::Lease::operator=(Lease&& other) noexcept {
    if (this != &other) {
        Return();
        budget_ = other.budget_;
        other.budget_ = nullptr;
    }
    return *this;
}

void CoreBudget::Lease::Return() {
    if (budget_) budget_->free_.fetch_add(1);
    budget_ = nullptr;
}

CoreBudget::Lease CoreBudget::TryTake() {
    int free = free_.load();
    while (free > 0)
        if (free_.compare_exchange_weak(free, free - 1)) return Lease(this);
    return Lease();
}

int CoreBudget::UsableCores() {
    // A process limited to some cores (taskset, a container's cpuset) sees only those.
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace tessival
