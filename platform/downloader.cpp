#include "platform/downloader.h"

#include <memory>
#include <mutex>

#include <QFile>
#include <QSaveFile>
#include <QScopeGuard>

#include <curl/curl.h>

#include "platform/termination_signals.h"

namespace platform {
namespace {

void initCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter
{
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;

struct MultiDeleter
{
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;

// The longest wait for the sockets between two looks at the transfer; curl's own timeouts shorten it.
constexpr int LongestWaitMs = 1000;

size_t writeToFile(char* data, size_t size, size_t count, void* file)
{
    const qint64 length = qint64(size * count);
    return static_cast<QSaveFile*>(file)->write(data, length) == length ? size * count : 0;
}

// Only web addresses: a page cannot make a preview address or a redirect read a local file.
void configure(CURL* curl, const QByteArray& address, const DownloadOptions& options, QSaveFile& file,
               char* errorBuffer)
{
    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(options.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(options.totalTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_COOKIEFILE, QFile::encodeName(options.cookieFile).constData());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeToFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &file);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
}

DownloadResult failure(std::string error)
{
    return {false, std::move(error)};
}

void throwIfTerminated(const TerminationRequest* abortOn, const QByteArray& address)
{
    if (abortOn && abortOn->received())
        throw DownloadAborted("Загрузка прервана: " + address.toStdString());
}

// Runs the configured transfer to its end: empty when it went through, else what went wrong. The wait
// on its sockets also wakes when the termination descriptor becomes readable, so that a signal cuts
// even a transfer that receives nothing.
std::string perform(CURL* curl, const QByteArray& address, const char* errorBuffer,
                    const TerminationRequest* abortOn)
{
    throwIfTerminated(abortOn, address);
    const MultiHandle multi(curl_multi_init());
    if (!multi)
        return "cannot start a download";
    curl_multi_add_handle(multi.get(), curl);
    const auto detach = qScopeGuard([&] { curl_multi_remove_handle(multi.get(), curl); });
    curl_waitfd termination{abortOn ? abortOn->descriptor() : -1, CURL_WAIT_POLLIN, 0};
    for (int running = 1; running;) {
        CURLMcode code = curl_multi_perform(multi.get(), &running);
        if (code == CURLM_OK && running)
            code = curl_multi_poll(multi.get(), &termination, abortOn ? 1 : 0, LongestWaitMs, nullptr);
        if (code != CURLM_OK)
            return curl_multi_strerror(code);
        throwIfTerminated(abortOn, address);
    }
    int queued = 0;
    const CURLMsg* done = curl_multi_info_read(multi.get(), &queued);
    if (!done)
        return "the download ended without a result";
    if (done->data.result == CURLE_OK)
        return {};
    return *errorBuffer ? errorBuffer : curl_easy_strerror(done->data.result);
}

} // namespace

Downloader::Downloader(DownloadOptions options) : options_(std::move(options))
{
    initCurlOnce();
}

DownloadResult Downloader::download(const QByteArray& address, const QString& targetFile) const
{
    QSaveFile file(targetFile);
    if (!file.open(QIODevice::WriteOnly))
        return failure("cannot write " + targetFile.toStdString() + ": " + file.errorString().toStdString());
    const CurlHandle curl(curl_easy_init());
    if (!curl)
        return failure("cannot start a download");

    char errorBuffer[CURL_ERROR_SIZE] = {};
    configure(curl.get(), address, options_, file, errorBuffer);
    if (const std::string error = perform(curl.get(), address, errorBuffer, options_.abortOn); !error.empty())
        return failure(address.toStdString() + ": " + error);

    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299)
        return failure(address.toStdString() + ": HTTP " + std::to_string(status));
    if (!file.commit())
        return failure("cannot write " + targetFile.toStdString() + ": " + file.errorString().toStdString());
    return {true, {}};
}

} // namespace platform
