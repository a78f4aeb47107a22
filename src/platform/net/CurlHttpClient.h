#pragma once

#include "platform/net/HttpClient.h"

namespace tessival {

// libcurl's client, naming Tessival in its User-Agent as the services ask. Ten seconds at most a
// request.
class CurlHttpClient : public HttpClient {
public:
    HttpResponse Get(const std::string& url) override;
};

}  // namespace tessival
