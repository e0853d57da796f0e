#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

// Runs an action inside the next modal dialog's own loop, once it is open. A dialog still open after
// half a minute fails the test and is hidden, which ends its loop, so a test can never hang on it.
// The guards are far longer than any dialog needs: the suite also runs under the sanitizers, many
// times slower, on a busy machine.
// The timers live as long as this object, so a guard never reaches into a later test.
class NextModalDialog {
public:
    explicit NextModalDialog(std::function<void(QWidget*)> action) : action_(std::move(action))
    {
        starter_.setSingleShot(true);
        QObject::connect(&starter_, &QTimer::timeout, [this] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            dialog_ = dialog;
            action_(dialog);
        });
        guard_.setSingleShot(true);
        // Only the dialog this object acted on: a later one may rightly be open by then.
        QObject::connect(&guard_, &QTimer::timeout, [this] {
            if (dialog_ && dialog_->isVisible()) {
                ADD_FAILURE() << "a dialog stayed open";
                // A message box it opened may hold it: that box goes first, ending its own loop.
                if (QWidget* front = QApplication::activeModalWidget(); front && front != dialog_)
                    front->hide();
                dialog_->hide();
            }
        });
        starter_.start(0);
        guard_.start(30000);
    }

private:
    std::function<void(QWidget*)> action_;
    QPointer<QWidget> dialog_;
    QTimer starter_;
    QTimer guard_;
};

// Runs an action once, the first time a modal dialog of the given name is the one in front: for a
// dialog that opens somewhere down a chain of events. A dialog still in front after the deadline
// fails the test and is hidden. The timers live as long as this object.
class WhenDialogOpens {
public:
    WhenDialogOpens(const QString& name, std::function<void(QWidget*)> action, int deadlineMs = 60000)
        : name_(name), action_(std::move(action))
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (ran_ || !dialog || dialog->objectName() != name_)
                return;
            ran_ = true;
            poll_.stop();
            action_(dialog);
        });
        poll_.start(10);
        guard_.setSingleShot(true);
        QObject::connect(&guard_, &QTimer::timeout, [this] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (dialog && dialog->objectName() == name_) {
                ADD_FAILURE() << qPrintable(name_) << " stayed open";
                dialog->hide();
            }
        });
        guard_.start(deadlineMs);
    }

    bool ran() const { return ran_; }

private:
    QString name_;
    std::function<void(QWidget*)> action_;
    bool ran_ = false;
    QTimer poll_;
    QTimer guard_;
};
