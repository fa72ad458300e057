#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <set>
#include <vector>

namespace tandu::test {

struct BoxShown {
    QString text;
    QString title;
    QMessageBox::Icon icon;
};

// Acts on the modal windows and pop-up menus the program opens while a test
// waits in a click: each runs its own event loop, so the driver watches for
// them from a timer. Message boxes are recorded and answered with their
// accepting button; every other window must be the next scripted one.
class ModalDriver : public QObject {
public:
    using Action = std::function<void(QWidget*)>;

    ModalDriver();
    ~ModalDriver() override;

    // The next modal window or pop-up that is not a message box must be
    // `which` (its objectName, or its class such as "QInputDialog"); `act`
    // drives it. A window still open after its action takes the next step.
    void then(const QString& which, Action act);
    // Steps not yet run.
    int pending() const { return static_cast<int>(steps_.size()); }

    // Every message box shown, in order.
    std::vector<BoxShown> boxes;
    // While set, message boxes are recorded and left open.
    bool holdBoxes = false;

private:
    struct Step {
        QString which;
        Action act;
    };
    void poll();
    void answerBox(QMessageBox* box);
    void runStep(QWidget* window);

    QTimer timer_;
    std::deque<Step> steps_;
    std::set<QWidget*> busy_;
    QPointer<QMessageBox> held_;
};

}  // namespace tandu::test
