#include "app/http_download.h"

#include <curl/curl.h>

#include <cstdio>

namespace {

struct BodySink {
    std::FILE* file = nullptr;
    std::int64_t written = 0;
};

std::size_t writeBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<BodySink*>(user);
    const std::size_t bytes = size * count;
    // Returning less than offered makes libcurl abandon the transfer.
    if (sink->written + static_cast<std::int64_t>(bytes) > maximumDownloadBytes) return 0;
    if (std::fwrite(data, 1, bytes, sink->file) != bytes) return 0;
    sink->written += static_cast<std::int64_t>(bytes);
    return bytes;
}

bool perform(const std::string& url, BodySink& sink, std::int64_t timeoutMs) {
    CURL* curl = curl_easy_init();
    if (!curl) return false;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    // A redirect must not lead the program to read local files or other schemes.
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeoutMs));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeoutMs));
    // Alarm-signal time-outs in the resolver are unsafe beside the comms thread.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maximumDownloadBytes));
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "KRV650 control program");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    const CURLcode result = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    return result == CURLE_OK;
}

} // namespace

bool downloadToFile(const std::string& url, const std::string& path, std::int64_t timeoutMs) {
    if (timeoutMs <= 0) return false;
    BodySink sink;
    sink.file = std::fopen(path.c_str(), "wb");
    if (!sink.file) return false;
    bool ok = perform(url, sink, timeoutMs);
    if (std::fclose(sink.file) != 0) ok = false;
    if (!ok) std::remove(path.c_str());
    return ok;
}
