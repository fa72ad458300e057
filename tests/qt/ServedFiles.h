#pragma once

#include <map>
#include <string>

#include "LoopbackServer.h"

namespace tandu::test {

// A server honouring ranges for several files, each found by the last part
// of the request's target; anything else is not found.
inline LoopbackServer::Answer servingFiles(const std::map<std::string, std::string>& files) {
    std::map<std::string, LoopbackServer::Answer> answers;
    for (const auto& [name, bytes] : files) {
        answers[name] = LoopbackServer::serving(bytes);
    }
    return [answers](const std::string& request) -> std::string {
        const std::size_t from = request.find(' ') + 1;
        const std::string target = request.substr(from, request.find(' ', from) - from);
        const auto found = answers.find(target.substr(target.rfind('/') + 1));
        if (found == answers.end()) {
            return "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n";
        }
        return found->second(request);
    };
}

}  // namespace tandu::test
