#pragma once
// The player's message boxes. Core code describes a box and asks the installed reporter to show
// it; the window installs one that uses QMessageBox, tests install one that records what was
// reported. With none installed the text goes to standard error and the default answer is taken.

#include <QString>

enum class TMessageIcon { None, Information, Question, Warning, Error };
enum class TMessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class TMessageAnswer { Ok, Cancel, Yes, No, Retry };

struct TMessage {
    QString text;
    QString caption = QStringLiteral("Korvo");
    TMessageIcon icon = TMessageIcon::None;
    TMessageButtons buttons = TMessageButtons::Ok;
    TMessageAnswer defaultAnswer = TMessageAnswer::Ok;
    bool beep = false;
};

class TReporter {
public:
    virtual ~TReporter() = default;
    virtual TMessageAnswer Show(const TMessage& message) = 0;
    // A beep without a box (the player beeps on some refused commands).
    virtual void Beep() = 0;

    // The reporter stays owned by the caller; pass nullptr to uninstall.
    static void Install(TReporter* reporter);
    static TReporter* Installed();
};

// Shows the message through the installed reporter, or on standard error without one.
TMessageAnswer ReportMessage(const TMessage& message);
void ReportBeep();
