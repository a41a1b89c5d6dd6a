// ConversionJob: one script conversion run on a worker thread while the window stays responsive.
#pragma once

#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <thread>
#include <utility>

#include "desktop/scripts/sqltorsqlconverter.h"

namespace vt::desktop {

// Thrown inside the worker by the progress callback once cancel() was called; the converters
// then leave their output file as it was.
class ConversionCancelled final : public std::exception {
public:
    const char* what() const noexcept override { return "conversion cancelled"; }
};

// Runs a conversion on its own thread. The owner (the window thread) starts it, reads its
// progress while it runs, asks whether it is done and then takes its result; the work itself
// must touch nothing of the window thread. Destroying a running job cancels it and waits.
class ConversionJob final {
public:
    // The work: reports its steps through the callback and returns its result (a count).
    using Work = std::function<std::size_t(const ProgressCallback& progress)>;

    // Position and maximum of the last step reported.
    struct Progress {
        std::size_t position = 0;
        std::size_t maximum = 0;
        // The two values scaled to fit a progress bar's int range, in proportion.
        std::pair<int, int> barValues() const;
    };

    ConversionJob() = default;
    ~ConversionJob();
    ConversionJob(const ConversionJob&) = delete;
    ConversionJob& operator=(const ConversionJob&) = delete;

    // Starts the work on a new thread. Throws std::logic_error while a started job has not been
    // taken yet.
    void start(Work work);

    // Started and not taken yet.
    bool busy() const { return m_thread.joinable(); }
    // The work has ended (with a result or an exception).
    bool done() const { return m_done.load(std::memory_order_acquire); }
    Progress progress() const;

    // Asks the work to stop at its next progress step.
    void cancel() { m_cancel.store(true, std::memory_order_relaxed); }

    // Waits for the work to end and gives its result, or rethrows its exception (also
    // ConversionCancelled). The job can then be started again.
    std::size_t take();

private:
    void report(std::size_t position, std::size_t maximum);

    std::thread m_thread;
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_cancel{false};
    std::atomic<std::size_t> m_position{0};
    std::atomic<std::size_t> m_maximum{0};
    std::size_t m_result = 0;
    std::exception_ptr m_error;
};

} // namespace vt::desktop
