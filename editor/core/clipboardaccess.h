#pragma once
// The system clipboard as the sample buffer uses it: put one format's bytes on it, read them back.
// The program installs the real one (the desktop's clipboard) at start; with none installed the
// clipboard cannot be opened, and cut, copy and paste say so, as they do without a desktop.

#include <QByteArray>
#include <QString>

class CClipboardAccess {
public:
    virtual ~CClipboardAccess() = default;

    // Replaces the clipboard's contents by `bytes` under the MIME type `format`. False when the
    // clipboard cannot be opened.
    virtual bool SetData(const QString& format, const QByteArray& bytes) = 0;
    // The clipboard's bytes under `format`: a null array when it holds none. False when the
    // clipboard cannot be opened.
    virtual bool ReadData(const QString& format, QByteArray& bytes) = 0;

    // The access stays owned by the caller; pass nullptr to uninstall.
    static void Install(CClipboardAccess* access);
    static CClipboardAccess* Installed();
};
