#pragma once
// The sample editor's message boxes. Core code describes a box and asks the installed reporter to
// show it; the editor's window installs one that uses QMessageBox, tests install one that records
// what was reported. With none installed the text goes to standard error.

#include <QString>

enum class CMessageIcon { None, Information, Question, Warning, Error };

struct CMessage {
    QString text;
    // Empty: the system's default caption.
    QString caption;
    CMessageIcon icon = CMessageIcon::Warning;
};

class CReporter {
public:
    virtual ~CReporter() = default;
    virtual void Show(const CMessage& message) = 0;

    // The reporter stays owned by the caller; pass nullptr to uninstall.
    static void Install(CReporter* reporter);
    static CReporter* Installed();
};

void ReportMessage(const CMessage& message);
