#include "DataLog.h"
#include "ScratchDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr std::time_t kJuly13th2000 = 963511402; // Thu Jul 13 18:03:22 2000 UTC
const QByteArray kHeader = "Begin Logging...Data Format:\r\n"
                           "WWW MMM DD HH:MM:SS (gmt) YYYY JJJ cccc cccc cccc\r\n";

std::tm utc(std::time_t t) {
    std::tm result{};
    gmtime_r(&t, &result);
    return result;
}

TEST(DataLogFormat, TimeStampAndDayOfTheYear) {
    const std::pair<std::time_t, std::string> cases[] = {
        {kJuly13th2000, "Thu Jul 13 18:03:22 2000 194 1234 5678 9012\r\n"},
        {962582400, "Mon Jul 03 00:00:00 2000 184 1234 5678 9012\r\n"},
        {946684800, "Sat Jan 01 00:00:00 2000 0 1234 5678 9012\r\n"},
        {978307199, "Sun Dec 31 23:59:59 2000 365 1234 5678 9012\r\n"}, // leap year
        {1924991999, "Tue Dec 31 23:59:59 2030 364 1234 5678 9012\r\n"},
    };
    for (const auto& [time, line] : cases)
        EXPECT_EQ(logDataLine(utc(time), {1234, 5678, 9012}), line);
    EXPECT_EQ(logTimestamp(utc(kJuly13th2000)), "Thu Jul 13 18:03:22 2000");
    // A breakdown made by hand with names out of range still names a day and a month.
    std::tm odd = utc(kJuly13th2000);
    odd.tm_wday = -1;
    odd.tm_mon = 12;
    EXPECT_EQ(logTimestamp(odd), "Sat Jan 13 18:03:22 2000");
}

class DataLogTest : public ::testing::Test {
protected:
    std::time_t now = kJuly13th2000;
    DataLog log{[this] { return now; }};
    ScratchDir dir;
};

TEST_F(DataLogTest, WritesTheHeaderOncePerRunAndAppends) {
    dir.write("old.log", "earlier run\r\n");
    ASSERT_TRUE(log.append("old.log", {1, 2, 3}).written);
    now += 61;
    ASSERT_TRUE(log.append("old.log", {4294967295u, 0, 7}).written);
    EXPECT_EQ(dir.read("old.log"), "earlier run\r\n" + kHeader +
                                       "Thu Jul 13 18:03:22 2000 194 1 2 3\r\n"
                                       "Thu Jul 13 18:04:23 2000 194 4294967295 0 7\r\n");
    // A new path after the first sample starts with a data line.
    ASSERT_TRUE(log.append("new.log", {5, 6, 7}).written);
    EXPECT_EQ(dir.read("new.log"), "Thu Jul 13 18:04:23 2000 194 5 6 7\r\n");
    // The next run writes a header again before its first sample.
    DataLog nextRun([this] { return now; });
    ASSERT_TRUE(nextRun.append("new.log", {8, 9, 10}).written);
    EXPECT_EQ(dir.read("new.log"), "Thu Jul 13 18:04:23 2000 194 5 6 7\r\n" + kHeader +
                                       "Thu Jul 13 18:04:23 2000 194 8 9 10\r\n");
}

TEST_F(DataLogTest, AFailedWriteKeepsTheHeaderPendingForTheFirstFileThatWorks) {
    QDir().mkdir("folder");
    const std::pair<std::string, std::string> failures[] = {
        {"", "the path is empty (set the Log File in Setup)"},
        {"missing/x.log", "No such file or directory"},
        {"folder", "Is a directory"},
        {"/dev/full", "No space left on device"},
    };
    for (const auto& [path, reason] : failures) {
        const DataLog::Result result = log.append(path, {1, 2, 3});
        EXPECT_FALSE(result.written) << path;
        EXPECT_EQ(result.error, reason) << path;
        EXPECT_TRUE(log.headerPending()) << path;
    }
    DataLog brokenClock([] { return std::numeric_limits<std::time_t>::max(); });
    EXPECT_EQ(brokenClock.append("good.log", {1, 2, 3}).error, "the clock gives no calendar time");
    EXPECT_FALSE(QFile::exists("good.log"));

    ASSERT_TRUE(log.append("good.log", {1, 2, 3}).written);
    EXPECT_TRUE(dir.read("good.log").startsWith(kHeader));
    EXPECT_FALSE(log.headerPending());
}

} // namespace
