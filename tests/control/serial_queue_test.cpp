#include "control/serial_queue.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <array>
#include <set>
#include <vector>

namespace quorvel {
namespace {

TEST(SerialQueue, RunsEveryTaskInOrderOnOneOtherThreadBeforeItIsDestroyed) {
    std::vector<int> order;
    std::set<std::thread::id> threads;
    {
        SerialQueue queue("test");
        for (int i = 0; i < 200; ++i) {
            // Written by the worker only, and read here after the destructor has joined it.
            queue.submit([&order, &threads, i] {
                order.push_back(i);
                threads.insert(std::this_thread::get_id());
            });
        }
    }
    ASSERT_EQ(order.size(), 200u);
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
    }
    ASSERT_EQ(threads.size(), 1u);
    EXPECT_NE(*threads.begin(), std::this_thread::get_id());
}

TEST(SerialQueue, NamesItsThreadAfterTheLabelCutToFifteenCharacters) {
    std::array<char, 32> name{};
    {
        SerialQueue queue("org.quorvel.connect.control");
        queue.submit([&name] { pthread_getname_np(pthread_self(), name.data(), name.size()); });
    }
    EXPECT_STREQ(name.data(), "org.quorvel.con");
}

TEST(SerialQueue, AcceptsTasksSubmittedByItsOwnTasks) {
    std::vector<int> order;
    {
        SerialQueue queue("test");
        queue.submit([&] {
            queue.submit([&] { order.push_back(2); });
            order.push_back(1);
        });
    }
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace quorvel
