#pragma once

#include <string>

namespace tessival {

// What an HTTP GET brought back: the status (0 when no answer came) and the body.
struct HttpResponse {
    long status = 0;
    std::string body;
};

// Fetches URLs for the look-ups. Blocking, with a time limit; one request at a time per object.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual HttpResponse Get(const std::string& url) = 0;
};
}  // namespace tessival
