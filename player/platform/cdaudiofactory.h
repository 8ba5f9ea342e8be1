#pragma once
// Which CD-audio service the player uses: the drive or image named by KORVO_CDROM; otherwise
// libcdio's default drive; with no drive at all, the demo disc in a virtual drive.

#include "core/cdaudioservice.h"

#include <memory>

// The demo disc the build makes: demo/korvo-demo.cue beside the program, else the installed copy
// in ../share/korvo from the program's folder, else the build's.
QString DemoDiscPath();

// The drive or image at path, by the rule below.
std::unique_ptr<TCDAudioService> ServiceFor(const QString& path);

// A path names an image when it is a regular file (a .cue, .toc, .nrg or .bin); anything else is
// taken as a drive's device.
std::unique_ptr<TCDAudioService> CreateCDAudioService(const QString& demoDisc = DemoDiscPath());
