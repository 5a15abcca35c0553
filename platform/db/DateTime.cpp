#include "platform/db/DateTime.h"

#include <sys/time.h>

#include <cstdio>
#include <ctime>

namespace platform::db {

namespace {

using namespace std::chrono;

// Reads exactly n digits at text[pos]; -1 when one is missing.
int digits(std::string_view text, std::size_t pos, std::size_t n)
{
    if (pos + n > text.size())
        return -1;
    int value = 0;
    for (std::size_t i = pos; i < pos + n; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// "+01", "-05:30", "+05:45:12" after the time of a timestamptz.
bool isZoneOffset(std::string_view rest)
{
    if (rest.size() < 3 || (rest[0] != '+' && rest[0] != '-'))
        return false;
    for (std::size_t i = 1; i < rest.size(); ++i)
        if ((rest[i] < '0' || rest[i] > '9') && rest[i] != ':')
            return false;
    return true;
}

} // namespace

std::string formatDateTime(DateTime value)
{
    const auto day = floor<days>(value);
    const year_month_day ymd{day};
    const hh_mm_ss<microseconds> time{value - day};
    char text[40];
    int n = std::snprintf(text, sizeof text, "%04d-%02u-%02u %02lld:%02lld:%02lld", static_cast<int>(ymd.year()),
                          static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                          static_cast<long long>(time.hours().count()), static_cast<long long>(time.minutes().count()),
                          static_cast<long long>(time.seconds().count()));
    if (time.subseconds().count() != 0)
        n += std::snprintf(text + n, sizeof text - n, ".%06lld", static_cast<long long>(time.subseconds().count()));
    return std::string(text, n);
}

std::optional<DateTime> parseDateTime(std::string_view text)
{
    const int y = digits(text, 0, 4);
    const int mo = digits(text, 5, 2);
    const int d = digits(text, 8, 2);
    if (y < 1 || mo < 0 || d < 0 || text.size() < 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const year_month_day ymd{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
    if (!ymd.ok())
        return std::nullopt;
    DateTime result{local_days{ymd}};
    std::string_view rest = text.substr(10);
    if (rest.empty())
        return result;

    if (rest[0] != ' ' && rest[0] != 'T')
        return std::nullopt;
    const int h = digits(rest, 1, 2);
    const int mi = digits(rest, 4, 2);
    const int s = digits(rest, 7, 2);
    if (h < 0 || mi < 0 || s < 0 || rest[3] != ':' || rest[6] != ':' || h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    result += hours{h} + minutes{mi} + seconds{s};
    rest = rest.substr(9);
    if (!rest.empty() && rest[0] == '.') {
        std::size_t n = 1;
        long long micro = 0;
        while (n < rest.size() && rest[n] >= '0' && rest[n] <= '9') {
            if (n > 6)
                return std::nullopt;
            micro = micro * 10 + (rest[n] - '0');
            ++n;
        }
        if (n == 1)
            return std::nullopt;
        for (std::size_t i = n; i <= 6; ++i)
            micro *= 10;
        result += microseconds{micro};
        rest = rest.substr(n);
    }
    if (!rest.empty() && !isZoneOffset(rest))
        return std::nullopt;
    return result;
}

DateTime localNow()
{
    timeval now{};
    gettimeofday(&now, nullptr);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    const year_month_day ymd{year{local.tm_year + 1900}, month{static_cast<unsigned>(local.tm_mon + 1)},
                             day{static_cast<unsigned>(local.tm_mday)}};
    return DateTime{local_days{ymd}} + hours{local.tm_hour} + minutes{local.tm_min} + seconds{local.tm_sec} +
           microseconds{now.tv_usec};
}

} // namespace platform::db
