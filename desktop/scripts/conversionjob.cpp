// ConversionJob: one script conversion run on a worker thread while the window stays responsive.
#include "desktop/scripts/conversionjob.h"

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <utility>

namespace vt::desktop {

std::pair<int, int> ConversionJob::Progress::barValues() const {
    std::size_t position = this->position;
    std::size_t maximum = this->maximum;
    while (maximum > static_cast<std::size_t>(INT_MAX)) {
        position >>= 1;
        maximum >>= 1;
    }
    return {static_cast<int>(std::min(position, maximum)), static_cast<int>(maximum)};
}

ConversionJob::~ConversionJob() {
    if (m_thread.joinable()) {
        cancel();
        m_thread.join();
    }
}

void ConversionJob::start(Work work) {
    if (m_thread.joinable())
        throw std::logic_error("a conversion is still running");
    m_done.store(false);
    m_cancel.store(false);
    m_position.store(0);
    m_maximum.store(0);
    m_result = 0;
    m_error = nullptr;
    m_thread = std::thread([this, work = std::move(work)] {
        try {
            m_result = work(
                [this](std::size_t position, std::size_t maximum) { report(position, maximum); });
        } catch (...) {
            m_error = std::current_exception();
        }
        m_done.store(true, std::memory_order_release);
    });
}

void ConversionJob::report(std::size_t position, std::size_t maximum) {
    if (m_cancel.load(std::memory_order_relaxed))
        throw ConversionCancelled();
    m_maximum.store(maximum, std::memory_order_relaxed);
    m_position.store(position, std::memory_order_relaxed);
}

ConversionJob::Progress ConversionJob::progress() const {
    return {m_position.load(std::memory_order_relaxed), m_maximum.load(std::memory_order_relaxed)};
}

std::size_t ConversionJob::take() {
    if (m_thread.joinable())
        m_thread.join();
    if (m_error)
        std::rethrow_exception(std::exchange(m_error, nullptr));
    return m_result;
}

} // namespace vt::desktop
