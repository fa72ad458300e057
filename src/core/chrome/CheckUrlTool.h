#pragma once

#include <memory>
#include <string>

namespace tandu {

class frmMain;
class Socket;

// Check URL: one HEAD request on its own socket, the answer's start shown raw.
class CheckUrlTool {
public:
    explicit CheckUrlTool(frmMain& form);
    ~CheckUrlTool();

    void start();
    void onConnect();
    void onDataArrival();
    void onError(int number, const std::string& description);

private:
    frmMain& form_;
    std::unique_ptr<Socket> WskCheck;
};

}  // namespace tandu
