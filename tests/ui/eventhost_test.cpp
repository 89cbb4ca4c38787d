#include "ui/eventhost.h"

#include <string>

#include <gtest/gtest.h>

namespace circles {
namespace {

int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(EventHost, ReportsEachKindOfErrorOnceAndCarriesOn) {
    EventHost host;
    int handled = 0;
    testing::internal::CaptureStderr();
    for (int i = 0; i < 100; ++i) {
        host.Deliver([] { Raise(ErrorKind::Overflow); });
    }
    host.Deliver([] { Raise(ErrorKind::IndexOutOfRange); });
    host.Deliver([&] { ++handled; });
    const std::string printed = testing::internal::GetCapturedStderr();

    EXPECT_EQ(host.escapedErrorCount(), 101);
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(CountOf(printed, std::string(ErrorMessage(ErrorKind::Overflow))), 1) << printed;
    EXPECT_EQ(CountOf(printed, std::string(ErrorMessage(ErrorKind::IndexOutOfRange))), 1);
    EXPECT_EQ(CountOf(printed, "\n"), 2);
}

}  // namespace
}  // namespace circles
