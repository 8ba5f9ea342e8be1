#pragma once
// The artwork and help pages (wlpro.qrc) are compiled into the static library wlpro_ui, and a
// static library's resources reach a program only when something names their initialiser. Every
// window that loads from :/wlpro calls this first; calling it again costs nothing.

#include <QtGlobal>

inline void InitWlproResources() {
    Q_INIT_RESOURCE(wlpro);
}
