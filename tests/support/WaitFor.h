#pragma once

#include <QTest>
#include <gtest/gtest.h>

// Waits for what the event loop brings, then checks it as GoogleTest does: the loop turns until
// the condition holds or 5 seconds have passed. (QtTest's own QTRY macros report to QtTest and
// would let a GoogleTest case pass.)
constexpr int kWaitForMs = 5000;

#define WAIT_TRUE(condition)                                                                                 \
    do {                                                                                                     \
        (void)QTest::qWaitFor([&] { return bool(condition); }, kWaitForMs);                                  \
        EXPECT_TRUE(condition);                                                                              \
    } while (false)

#define WAIT_EQ(actual, expected)                                                                            \
    do {                                                                                                     \
        (void)QTest::qWaitFor([&] { return (actual) == (expected); }, kWaitForMs);                           \
        EXPECT_EQ(actual, expected);                                                                         \
    } while (false)
