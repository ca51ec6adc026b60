#include "fit/fit_kernel_worker.h"

#include <chrono>
#include <system_error>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace tessarin {

namespace {

// A search asks for work every few microseconds to milliseconds; waking a
// sleeping thread costs about as much as scoring a small batch. So both sides
// first poll for a while and only then sleep. Between two batches the search
// builds the next 8 trials, about 0.3 ms at N = 1000: the helper should
// still be polling when the next batch comes.
constexpr auto SpinTime = std::chrono::microseconds(500);
constexpr auto YieldAfter = std::chrono::microseconds(20);

inline void relax()
{
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#endif
}

/// Polls `value` until it differs from `old` or the spin time is over; then
/// sleeps until it changes. Returns the new value.
std::uint32_t awaitChange(const std::atomic<std::uint32_t> &value, std::uint32_t old)
{
    const auto start = std::chrono::steady_clock::now();
    for (unsigned round = 0;; ++round) {
        std::uint32_t now = value.load(std::memory_order_acquire);
        if (now != old)
            return now;
        relax();
        if ((round & 63) == 63) {
            const auto waited = std::chrono::steady_clock::now() - start;
            if (waited > SpinTime)
                break;
            // After a short while, polling must not keep another program's
            // thread off a busy core.
            if (waited > YieldAfter)
                std::this_thread::yield();
        }
    }
    for (;;) {
        value.wait(old, std::memory_order_acquire);
        std::uint32_t now = value.load(std::memory_order_acquire);
        if (now != old)
            return now;
    }
}

} // namespace

FitWorker &FitWorker::instance()
{
    static FitWorker worker;
    return worker;
}

FitWorker::~FitWorker()
{
    std::lock_guard<std::mutex> lock(m_use);
    if (!m_thread.joinable())
        return;
    m_stopping.store(true, std::memory_order_relaxed); // published by m_posted
    m_posted.fetch_add(1, std::memory_order_release);
    m_posted.notify_one();
    m_thread.join();
}

bool FitWorker::claim(std::uint32_t ticket)
{
    std::uint32_t expected = ticket - 1;
    return m_claimed.compare_exchange_strong(expected, ticket, std::memory_order_acq_rel);
}

void FitWorker::loop()
{
    std::uint32_t seen = 0;
    for (;;) {
        seen = awaitChange(m_posted, seen);
        if (m_stopping.load(std::memory_order_relaxed))
            return;
        // The task and its context are read only once taken: a task the
        // caller took back may already have been replaced by the next one.
        if (!claim(seen))
            continue;
        m_task(m_context);
        m_finished.store(seen, std::memory_order_release);
        m_finished.notify_one();
    }
}

void FitWorker::waitDone(std::uint32_t ticket)
{
    std::uint32_t done = m_finished.load(std::memory_order_acquire);
    while (done != ticket)
        done = awaitChange(m_finished, done);
}

bool FitWorker::runBeside(Task theirs, Task mine, void *context)
{
    std::unique_lock<std::mutex> lock(m_use, std::try_to_lock);
    if (!lock.owns_lock())
        return false;
    if (!m_thread.joinable()) {
        try {
            m_thread = std::thread([this] { loop(); });
        } catch (const std::system_error &) {
            return false; // no thread to be had: the caller does all the work
        }
    }

    m_task = theirs;
    m_context = context;
    const std::uint32_t ticket = m_posted.load(std::memory_order_relaxed) + 1;
    m_posted.store(ticket, std::memory_order_release);
    m_posted.notify_one();

    // The helper reads the caller's data: on every way out, either take the
    // task back before it starts or wait until it is done.
    struct Join {
        FitWorker &worker;
        std::uint32_t ticket;
        bool takenBack = false;
        ~Join()
        {
            if (!takenBack && !worker.claim(ticket))
                worker.waitDone(ticket);
        }
    } join{*this, ticket};
    mine(context);
    if (claim(ticket)) {
        join.takenBack = true;
        theirs(context);
    }
    return true;
}

} // namespace tessarin
