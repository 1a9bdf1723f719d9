#pragma once

// What a collection run without a window (the nightly photoledger-collect) tells the desktop
// afterwards: a failure, a login that expired, a day that earned more than any day before. The user
// opts in per kind in section [Notify] of conf.ini.

#include <QDate>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

namespace collect {

// [Notify] Failures=1: a failed run or an expired login; BestDay=1: a new best day.
struct NoticeChoice
{
    bool failures = false;
    bool bestDay = false;
};

NoticeChoice readNoticeChoice(const QString& appDir);

// A day's earnings of every kind together, in cents.
struct DayEarnings
{
    QDate day;
    std::int64_t cents = 0;

    friend bool operator==(const DayEarnings&, const DayEarnings&) = default;
};

// The day that earned most in the database of the program directory, the file or the one on the
// server that conf.ini names (the earliest of equal ones); none while no sale is stored. Read through
// an attachment of its own, so only committed days count.
std::optional<DayEarnings> bestDay(const QString& programDir);

enum class RunOutcome {
    Collected,
    Failed,       // an error ended the run; the message says why
    LoginExpired, // the agency asked for the login
    Stopped,      // a termination signal ended it: the user knows
};

struct Notice
{
    QString summary;
    QString body;

    friend bool operator==(const Notice&, const Notice&) = default;
};

// The notices a run deserves: its failure or the expired login, and a best day that the run's days
// beat (not the first days ever stored, which beat nothing). Rows stored before a failure count too.
QList<Notice> runNotices(const NoticeChoice& choice, RunOutcome outcome, const QString& error,
                         const std::optional<DayEarnings>& bestBefore,
                         const std::optional<DayEarnings>& bestAfter);

} // namespace collect
