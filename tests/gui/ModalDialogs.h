#pragma once

// Acting in modal dialogs from a test: a modal dialog runs its own event loop
// inside the call that opened it, so the test schedules what to do in it
// before that call. Each helper polls for the dialog to become the active
// modal window, which also covers dialogs that open only after server work.

#include <functional>
#include <memory>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <utility>

namespace mvr::gui::test {

inline void ClickButton(QDialog& dialog, const QString& text) {
    for (auto* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == text) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
}

inline void ClickOk(QDialog& dialog) { ClickButton(dialog, QStringLiteral("OK")); }

// Once a `Dialog` is the active modal window, hands it to `act` and closes it
// with Cancel if `act` left it open. `opened` (when given) is set when the
// dialog was found. Should another modal window be up at the deadline, it is
// closed, so that no test hangs on a dialog it did not expect.
template <class Dialog>
void WhenOpened(std::function<void(Dialog&)> act, bool* opened = nullptr,
                int timeoutMs = 10000) {
    auto* poll = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, clock, act, opened, timeoutMs] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            if (clock->elapsed() > timeoutMs) {
                poll->deleteLater();
                poll->stop();
                if (QWidget* other = QApplication::activeModalWidget()) {
                    other->close();
                }
            }
            return;
        }
        poll->stop();
        poll->deleteLater();
        if (opened != nullptr) {
            *opened = true;
        }
        act(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    poll->start(5);
}

// Hands every `Dialog` that becomes the active modal window to `act`, once
// each, for as long as the watcher lives.
template <class Dialog>
class EveryTimeOpened : public QObject {
public:
    explicit EveryTimeOpened(std::function<void(Dialog&)> act) : act_(std::move(act)) {
        connect(&poll_, &QTimer::timeout, this, [this] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (dialog != nullptr && dialog != seen_) {
                seen_ = dialog;
                act_(*dialog);
            }
        });
        poll_.start(10);
    }

private:
    std::function<void(Dialog&)> act_;
    QTimer poll_;
    // Dialogs live on the stack of the call that runs them: the next one may
    // take the address of the last, which a guarded pointer tells apart.
    QPointer<Dialog> seen_;
};

} // namespace mvr::gui::test
