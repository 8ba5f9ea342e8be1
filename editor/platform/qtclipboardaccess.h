#pragma once
// The clipboard access the editor installs at start: the desktop's clipboard through
// QGuiApplication. It cannot be opened in a program without a graphical application.

#include "core/clipboardaccess.h"

class CQtClipboardAccess : public CClipboardAccess {
public:
    bool SetData(const QString& format, const QByteArray& bytes) override;
    bool ReadData(const QString& format, QByteArray& bytes) override;
};
