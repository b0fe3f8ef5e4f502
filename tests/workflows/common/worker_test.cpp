#include "workflows/common/worker.h"

#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using kpm::workflows::Worker;

// A job far faster than the screen: a million steps over about 300 ms.
TEST(Worker, TheWindowSeesTheCountAtTheScreensPaceAndTheLastOne) {
    Worker worker;
    constexpr std::uint64_t kSteps = 1'000'000;
    std::vector<std::uint64_t> shown;
    std::vector<int> ends;
    const auto start = std::chrono::steady_clock::now();
    worker.Start(
        [&] {
            for (int slice = 0; slice < 30; ++slice) {
                for (std::uint64_t i = 0; i < kSteps / 30; ++i) {
                    worker.Advance();
                }
                std::this_thread::sleep_for(10ms);
            }
            worker.Advance(kSteps % 30);
            return 7;
        },
        [&](int result) {
            EXPECT_FALSE(worker.IsRunning());
            ends.push_back(result);
        },
        [&](std::uint64_t steps) {
            EXPECT_TRUE(ends.empty()) << "progress after the end";
            shown.push_back(steps);
        });
    EXPECT_TRUE(shown.empty()) << "reported from within Start";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ends.empty(); }, 10000));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    QTest::qWait(100);

    EXPECT_EQ(ends, std::vector<int>{7});
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), kSteps);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    EXPECT_LE(shown.size(), static_cast<std::size_t>(elapsed / 40ms) + 2);
    EXPECT_GE(shown.size(), 2u) << "no progress while it ran";
}

TEST(Worker, AnOwnerThatWaitsHearsNothingMore) {
    Worker worker;
    int calls = 0;
    worker.Start(
        [&] {
            worker.Advance();
            std::this_thread::sleep_for(100ms);
            throw std::runtime_error("printer gone");
            return 0;
        },
        [&](int) { ++calls; }, [&](std::uint64_t) { ++calls; });
    worker.Wait();
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_EQ(worker.Result(), -1);
    EXPECT_TRUE(worker.Failure() != nullptr);
    QTest::qWait(150);
    EXPECT_EQ(calls, 0);
}

}  // namespace
