#pragma once

#include <atomic>
#include <memory>

namespace tessival {

// The cores a run leaves free beyond one per worker, lent one at a time to items that can use a
// second thread, so that a run's busy threads never outnumber the cores. Any thread.
class CoreBudget {
public:
    // A core lent to one item, given back when the lease ends; empty when none was free.
    class Lease {
    public:
        Lease() = default;
        explicit Lease(CoreBudget* budget) : budget_(budget) {}
        Lease(Lease&& other) noexcept : budget_(other.budget_) { other.budget_ = nullptr; }
        Lease& operator=(Lease&& other) noexcept;
        ~Lease() { Return(); }
        explicit operator bool() const { return budget_ != nullptr; }

    private:
        void Return();
        CoreBudget* budget_ = nullptr;
    };

    explicit CoreBudget(int spare) : free_(spare) {}
    // The cores left once `workers` threads have one each.
    static std::shared_ptr<CoreBudget> LeftBy(int workers) {
        return std::make_shared<CoreBudget>(UsableCores() - workers);
    }
    CoreBudget(const CoreBudget&) = delete;
    CoreBudget& operator=(const CoreBudget&) = delete;

    Lease TryTake();
    // The cores not lent now.
    int Free() const { return free_.load(); }
    // The cores this process may run on (its affinity), at least 1.
    static int UsableCores();

private:
    std::atomic<int> free_;
};

}  // namespace tessival
