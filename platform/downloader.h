#pragma once

#include <chrono>
#include <stdexcept>
#include <string>

#include <QByteArray>
#include <QString>

namespace platform {

class TerminationRequest;

// How a download behaves. An empty cookie file sends no cookies.
struct DownloadOptions
{
    QString cookieFile; // a Netscape cookies.txt, read and never written
    std::chrono::milliseconds connectTimeout{std::chrono::seconds(15)};
    std::chrono::milliseconds totalTimeout{std::chrono::seconds(60)};
    // When set, a termination signal cuts a running transfer at once and refuses every later one
    // (DownloadAborted). Not owned.
    const TerminationRequest* abortOn = nullptr;
};

// A download cut by a termination signal. Unlike a failed download it is thrown, so that the work
// that asked for the page ends instead of going on without it.
class DownloadAborted : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The outcome of one download; callers may ignore it and judge by the target file instead.
struct DownloadResult
{
    bool ok = false;
    std::string error; // what went wrong, empty when ok

    explicit operator bool() const { return ok; }
};

// Blocking GET of http and https addresses over libcurl, following redirects. The body goes to a
// temporary file beside the target, which replaces the target only when a 2xx answer arrived in full:
// a failed or aborted download leaves the target as it was (present or absent).
class Downloader
{
public:
    explicit Downloader(DownloadOptions options);

    DownloadResult download(const QByteArray& address, const QString& targetFile) const;

    const DownloadOptions& options() const { return options_; }

private:
    DownloadOptions options_;
};

} // namespace platform
