#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tessival::test {

// A static HTTP server on 127.0.0.1 serving a folder (Python's http.server on a free port), for
// look-ups that must never leave the machine. Stopped when the object goes. For services that
// tell requests apart by their query alone (CDDB's cddb.cgi), `queryInPath` serves PATH?QUERY
// from the file PATH/QUERY, the query without its hello= greeting.
class LocalHttpServer {
public:
    explicit LocalHttpServer(const std::string& folder, bool queryInPath = false) {
        int out[2];
        if (::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            ::close(out[1]);
            // Binding port 0 picks a free port; the first line says which.
            const char* script =
                "import functools,http.server,sys\n"
                "class Q(http.server.SimpleHTTPRequestHandler):\n"
                "  def log_message(self,*a): pass\n"
                "  def translate_path(self,path):\n"
                "    base,_,query=path.partition('?')\n"
                "    query='&'.join(p for p in query.split('&') if p and not p.startswith('hello='))\n"
                "    return super().translate_path(base+'/'+query if query and sys.argv[2]=='1' else base)\n"
                "h=functools.partial(Q,directory=sys.argv[1])\n"
                "s=http.server.HTTPServer(('127.0.0.1',0),h)\n"
                "print(s.server_address[1],flush=True)\n"
                "s.serve_forever()\n";
            ::execlp("python3", "python3", "-c", script, folder.c_str(), queryInPath ? "1" : "0",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        char line[32] = {};
        FILE* stream = ::fdopen(out[0], "r");
        if (stream && std::fgets(line, sizeof line, stream)) port_ = std::atoi(line);
        if (stream) std::fclose(stream);
    }
    ~LocalHttpServer() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    bool Running() const { return port_ > 0; }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

}  // namespace tessival::test
