// Tests of running a conversion on a worker thread: progress, results, failures and cancelling.
#include "desktop/scripts/conversionjob.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <stdexcept>

#include "desktop/scripts/scriptkinds.h"
#include "script/testfiles.h"

namespace vt::desktop {
namespace {

using script::testing::readBytes;
using script::testing::TempDir;
using script::testing::writeBytes;

ScriptKind semicolonKind() {
    ScriptKind kind;
    kind.name = "Semicolon";
    kind.delimiter = ";";
    kind.commentBegin = "--";
    return kind;
}

// A gate the worker waits at until the test opens it.
class Gate {
public:
    void open() {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    void wait() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
};

TEST(ConversionJobTest, TheWorkRunsApartAndItsProgressAndResultReachTheOwner) {
    Gate reported;
    Gate finish;
    ConversionJob job;
    job.start([&](const ProgressCallback& progress) {
        progress(3, 10);
        reported.open();
        finish.wait();
        return std::size_t{42};
    });
    reported.wait();
    EXPECT_TRUE(job.busy());
    EXPECT_FALSE(job.done());
    EXPECT_EQ(job.progress().position, 3u);
    EXPECT_EQ(job.progress().maximum, 10u);
    finish.open();
    EXPECT_EQ(job.take(), 42u);
    EXPECT_TRUE(job.done());
    EXPECT_FALSE(job.busy());
}

TEST(ConversionJobTest, AFailureOfTheWorkIsRethrownToTheOwnerAndTheJobCanRunAgain) {
    ConversionJob job;
    job.start(
        [](const ProgressCallback&) -> std::size_t { throw std::runtime_error("disk full"); });
    EXPECT_THROW(
        {
            try {
                job.take();
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "disk full");
                throw;
            }
        },
        std::runtime_error);
    job.start([](const ProgressCallback&) { return std::size_t{7}; });
    EXPECT_EQ(job.take(), 7u);
}

TEST(ConversionJobTest, ASecondStartWhileTheFirstIsNotTakenIsRefused) {
    Gate finish;
    ConversionJob job;
    job.start([&](const ProgressCallback&) {
        finish.wait();
        return std::size_t{1};
    });
    EXPECT_THROW(job.start([](const ProgressCallback&) { return std::size_t{2}; }),
                 std::logic_error);
    finish.open();
    EXPECT_EQ(job.take(), 1u);
}

TEST(ConversionJobTest, CancellingInTheMiddleOfAConversionLeavesTheOldFileAndNoTemporaryFile) {
    TempDir dir;
    const std::string sql = dir.file("big.sql");
    const std::string rsql = dir.file("big.rsql");
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "INSERT INTO T VALUES (" + std::to_string(i) + ");\r\n";
    writeBytes(sql, text);
    writeBytes(rsql, "the old script");

    const ScriptKind kind = semicolonKind();
    ConversionJob job;
    job.start([&](const ProgressCallback& progress) {
        SqlToRsqlConverter converter(SplitSettings::fromKind(kind));
        // The user cancels once the first part of the file is written.
        converter.setProgress([&](std::size_t position, std::size_t maximum) {
            if (position > 0)
                job.cancel();
            progress(position, maximum);
        });
        return converter.convert(sql, rsql, {});
    });
    EXPECT_THROW(job.take(), ConversionCancelled);
    EXPECT_EQ(readBytes(rsql), "the old script");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 2u);
}

TEST(ConversionJobTest, DestroyingARunningJobCancelsAndWaitsForIt) {
    std::atomic<int> steps{0};
    {
        ConversionJob job;
        job.start([&](const ProgressCallback& progress) {
            for (;;) {
                progress(static_cast<std::size_t>(++steps), 0);
                std::this_thread::yield();
            }
            return std::size_t{0};
        });
        while (steps == 0)
            std::this_thread::yield();
    }
    const int after = steps;
    std::this_thread::yield();
    EXPECT_EQ(steps, after);
}

TEST(ConversionJobTest, ProgressBeyondTheBarsRangeIsScaledInProportion) {
    struct Case {
        const char* name;
        std::size_t position;
        std::size_t maximum;
        std::pair<int, int> bar;
    };
    constexpr std::size_t eightGiB = std::size_t{1} << 33;
    const Case cases[] = {
        {"small values stay as they are", 5, 10, {5, 10}},
        {"nothing to do", 0, 0, {0, 0}},
        {"a file of eight gigabytes halfway", eightGiB / 2, eightGiB, {1 << 29, 1 << 30}},
        {"a position past the maximum stops at it", 12, 10, {10, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ConversionJob::Progress progress{c.position, c.maximum};
        EXPECT_EQ(progress.barValues(), c.bar);
    }
}

} // namespace
} // namespace vt::desktop
