#include "ModalDriver.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <exception>

namespace tandu::test {

namespace {

bool matches(const QWidget* window, const QString& which) {
    return window->objectName() == which || window->inherits(which.toLatin1().constData());
}

// Ends a window no step was written for, so the test fails instead of hanging.
void dismiss(QWidget* window) {
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->done(QDialog::Rejected);
    } else {
        window->close();
    }
}

}  // namespace

ModalDriver::ModalDriver() {
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &ModalDriver::poll);
    timer_.start();
}

ModalDriver::~ModalDriver() {
    for (const Step& step : steps_) {
        ADD_FAILURE() << "no window \"" << step.which.toStdString() << "\" came";
    }
}

void ModalDriver::then(const QString& which, Action act) {
    steps_.push_back({which, std::move(act)});
}

void ModalDriver::poll() {
    QWidget* window = QApplication::activePopupWidget();
    window = window != nullptr ? window : QApplication::activeModalWidget();
    if (window == nullptr || !window->isVisible() || busy_.count(window) > 0) {
        return;
    }
    busy_.insert(window);
    // Actions may open windows of their own: they run outside this timer's
    // callback, so the timer keeps watching meanwhile.
    QPointer<QWidget> guard(window);
    QTimer::singleShot(0, this, [this, guard, window] {
        if (guard) {
            if (auto* box = qobject_cast<QMessageBox*>(guard.data())) {
                answerBox(box);
            } else {
                runStep(guard);
            }
        }
        busy_.erase(window);
    });
}

void ModalDriver::answerBox(QMessageBox* box) {
    if (box != held_) {
        boxes.push_back({box->text(), box->windowTitle(), box->icon()});
    }
    if (holdBoxes) {
        held_ = box;
        return;
    }
    QAbstractButton* answer = box->defaultButton();
    for (QAbstractButton* button : box->buttons()) {
        const auto role = box->buttonRole(button);
        if (role == QMessageBox::AcceptRole || role == QMessageBox::YesRole) {
            answer = button;
        }
    }
    if (answer != nullptr) {
        QTest::mouseClick(answer, Qt::LeftButton);
    } else {
        dismiss(box);
    }
}

void ModalDriver::runStep(QWidget* window) {
    if (steps_.empty() || !matches(window, steps_.front().which)) {
        ADD_FAILURE() << "unexpected window \"" << window->objectName().toStdString() << "\" ("
                      << window->metaObject()->className() << "), expected \""
                      << (steps_.empty() ? std::string("none") : steps_.front().which.toStdString())
                      << "\"";
        dismiss(window);
        return;
    }
    const Step step = std::move(steps_.front());
    steps_.pop_front();
    QPointer<QWidget> guard(window);
    try {
        step.act(window);
    } catch (const std::exception& error) {
        ADD_FAILURE() << "in \"" << step.which.toStdString() << "\": " << error.what();
        if (guard) {
            dismiss(guard);
        }
    }
}

}  // namespace tandu::test
