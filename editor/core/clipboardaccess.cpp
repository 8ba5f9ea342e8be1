#include "core/clipboardaccess.h"

namespace {
CClipboardAccess* installedAccess = nullptr;
}

void CClipboardAccess::Install(CClipboardAccess* access) {
    installedAccess = access;
}

CClipboardAccess* CClipboardAccess::Installed() {
    return installedAccess;
}
