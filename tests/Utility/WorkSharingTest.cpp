#include "Utility/WorkSharing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

TEST(WorkSharing, EveryPieceRunsOnceRunAfterRunAndAFailureComesBackAfterTheRestEnded) {
    WorkSharing sharing(3);
    for (const std::size_t count : {0u, 1u, 2u, 3u, 1000u, 7u}) {
        std::vector<std::atomic<int>> runs(count);
        sharing.run(count, [&](std::size_t i) { runs[i].fetch_add(1); });
        for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(runs[i].load(), 1) << "piece " << i << " of " << count;
    }

    std::atomic<int> ended{0};
    EXPECT_THROW(sharing.run(100,
                             [&](std::size_t i) {
                                 if (i == 10) throw std::runtime_error("piece 10");
                                 ended.fetch_add(1);
                             }),
                 std::runtime_error);
    EXPECT_EQ(ended.load(), 99);
    std::atomic<int> after{0};
    sharing.run(50, [&](std::size_t) { after.fetch_add(1); });
    EXPECT_EQ(after.load(), 50);
}
