// PluginThread: the one worker thread that makes a window's plug-in and database calls, so that
// the window stays responsive while they run.
#pragma once

#include <QObject>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace vt::desktop {

// Jobs run on the worker one after the other, never two at once. The window thread hands a job
// over with run() and keeps processing its events (painting, clicks) until the job is done. A job
// asks the window thread something with onWindowThread(), which waits for the answer; while it
// waits, the worker runs the jobs the window thread hands over meanwhile (a login dialog's
// connection attempt), so those stay on the same thread and in order.
class PluginThread final : public QObject {
    Q_OBJECT
public:
    // Starts the worker; the object belongs to the window thread that creates it.
    PluginThread();
    // Waits for the job under way and stops the worker.
    ~PluginThread() override;
    PluginThread(const PluginThread&) = delete;
    PluginThread& operator=(const PluginThread&) = delete;

    // Window thread: runs the job on the worker and returns when it is done, rethrowing what it
    // threw. Events of the window thread are processed meanwhile.
    void run(std::function<void()> job);

    // Worker thread, inside a job: runs the function on the window thread and returns when it
    // is done, rethrowing what it threw.
    void onWindowThread(std::function<void()> function);

    // Worker thread, inside a job: hands the function to the window thread without waiting.
    // Such functions and onWindowThread's run in the order they were handed over.
    void post(std::function<void()> function);

    // True on the worker thread.
    bool isWorkerThread() const { return std::this_thread::get_id() == m_worker.get_id(); }

private:
    // Runs queued jobs until the predicate holds (the caller holds the lock).
    void serve(std::unique_lock<std::mutex>& lock, const std::function<bool()>& until);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_stop = false;
    std::thread m_worker;
};

} // namespace vt::desktop
