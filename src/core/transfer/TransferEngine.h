#pragma once

#include <string>

namespace tandu {

class frmMain;

// The one running transfer of the main window.
class TransferEngine {
public:
    explicit TransferEngine(frmMain& form);
    ~TransferEngine();

    bool downloading() const;
    void rowSelected();
    void start();
    void pause();
    void tick();
    void onConnect(int index);
    void onDataArrival(int index);
    void onError(int index, int number, const std::string& description);
    void onClose(int index);

private:
    frmMain& form_;
};

}  // namespace tandu
