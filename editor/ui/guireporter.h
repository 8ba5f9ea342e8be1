#pragma once
// The reporter the editor's windows install: the core's messages as message boxes over the main
// window. A message from a worker thread (a file read in the background) is shown on the GUI
// thread, and the worker waits until the user has closed the box.

#include "core/reporter.h"

#include <QPointer>
#include <QWidget>

class CGuiReporter : public CReporter {
public:
    explicit CGuiReporter(QWidget* owner);
    ~CGuiReporter() override;
    void Show(const CMessage& message) override;
    void SetOwner(QWidget* owner) { m_owner = owner; }

private:
    QPointer<QWidget> m_owner;
};
