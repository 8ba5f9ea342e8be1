#pragma once
// Asks the user for a file to write (the platform's save-file dialog). The window implements it
// with QFileDialog; tests answer with a path of their own.

#include <QString>

struct TSaveFileRequest {
    QString title;
    QString filterName;    // "Text DB file (*.txt)"
    QString filterPattern; // "*.txt"
    QString defaultExtension;
    bool promptOverwrite = true;
};

class TSaveFileAsker {
public:
    virtual ~TSaveFileAsker() = default;
    // The chosen path, or a null string when the user cancelled.
    virtual QString AskSaveFile(const TSaveFileRequest& request) = 0;
};
