#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

namespace tessarin {

/// One persistent helper thread for the batched fit, started at its first use
/// and kept for the life of the program.
///
/// runBeside() is synchronous: it offers one task to the helper, runs another
/// on the calling thread and returns only when both are done, also when the
/// caller's task throws. When the helper has not yet taken its task by the
/// time the caller is done (it was asleep, or the cores are busy with other
/// programs), the caller takes it back and runs it itself, so sharing never
/// waits for a thread that is not running. Only one caller at a time can use the helper; a
/// second one (another thread, or a nested call) gets false at once and must
/// do the work itself, so a caller never waits for someone else's work.
class FitWorker {
public:
    using Task = void (*)(void *context);

    static FitWorker &instance();

    /// Runs `theirs(context)` on the helper and `mine(context)` here. Returns
    /// false, having run nothing, when the helper is in use.
    bool runBeside(Task theirs, Task mine, void *context);

    ~FitWorker();
    FitWorker(const FitWorker &) = delete;
    FitWorker &operator=(const FitWorker &) = delete;

private:
    FitWorker() = default;
    void loop();
    void waitDone(std::uint32_t ticket);
    bool claim(std::uint32_t ticket);

    std::mutex m_use;       // held by the one caller using the helper
    std::thread m_thread;   // started by the first runBeside()
    Task m_task = nullptr;  // written before m_posted is raised
    void *m_context = nullptr;
    std::atomic<bool> m_stopping{false};
    std::atomic<std::uint32_t> m_posted{0};   // number of the latest task offered
    std::atomic<std::uint32_t> m_claimed{0};  // number of the latest task taken, by either side
    std::atomic<std::uint32_t> m_finished{0}; // number of the latest task done
};

} // namespace tessarin
