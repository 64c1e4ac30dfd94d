#include "PixelBudget.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <optional>

TEST(PixelBudgetTest, PicturesShareTheBudgetAndOneThatDoesNotFitWaitsForRoom) {
    PixelBudget budget(100);
    std::optional<PixelBudget::Reservation> first;
    first.emplace(budget, 70);
    {
        const PixelBudget::Reservation fits(budget, 30);
        EXPECT_EQ(budget.inUse(), 100);
    }
    auto second = std::async(std::launch::async, [&budget] {
        const PixelBudget::Reservation reservation(budget, 50);
        return budget.inUse();
    });
    EXPECT_EQ(second.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    first.reset();
    EXPECT_EQ(second.get(), 50);
    EXPECT_EQ(budget.inUse(), 0);
    const PixelBudget::Reservation oversized(budget, 500);
    EXPECT_EQ(budget.inUse(), 500) << "a picture larger than the budget goes alone";
}
