// PluginThread: the one worker thread of a window's plug-in and database calls.
#include "desktop/scripts/pluginthread.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>
#include <exception>
#include <memory>

namespace vt::desktop {

PluginThread::PluginThread() {
    m_worker = std::thread([this] {
        std::unique_lock<std::mutex> lock(m_mutex);
        serve(lock, [this] { return m_stop; });
    });
}

PluginThread::~PluginThread() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_worker.join();
}

void PluginThread::serve(std::unique_lock<std::mutex>& lock, const std::function<bool()>& until) {
    for (;;) {
        m_wake.wait(lock, [&] { return until() || !m_jobs.empty(); });
        if (until())
            return;
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

void PluginThread::run(std::function<void()> job) {
    struct State {
        bool done = false;
        std::exception_ptr error;
        QEventLoop loop;
    };
    auto state = std::make_shared<State>();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back([this, state, job = std::move(job)] {
            try {
                job();
            } catch (...) {
                state->error = std::current_exception();
            }
            QMetaObject::invokeMethod(
                this,
                [state] {
                    state->done = true;
                    state->loop.quit();
                },
                Qt::QueuedConnection);
        });
    }
    m_wake.notify_all();
    while (!state->done)
        state->loop.exec();
    if (state->error)
        std::rethrow_exception(state->error);
}

void PluginThread::onWindowThread(std::function<void()> function) {
    bool done = false;
    std::exception_ptr error;
    QMetaObject::invokeMethod(
        this,
        [&] {
            try {
                function();
            } catch (...) {
                error = std::current_exception();
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                done = true;
            }
            m_wake.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(m_mutex);
    serve(lock, [&] { return done; });
    lock.unlock();
    if (error)
        std::rethrow_exception(error);
}

void PluginThread::post(std::function<void()> function) {
    QMetaObject::invokeMethod(this, std::move(function), Qt::QueuedConnection);
}

} // namespace vt::desktop
