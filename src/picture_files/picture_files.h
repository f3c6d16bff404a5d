#pragma once

#include "runner/picture_output.h"

namespace kelvarin {

// The picture files of a script run: `png` through Qt's PNG writer (Qt Gui
// only, no display needed), `gif` through giflib (see GifRecorder); every
// file written through an AtomicFile.
const PictureOutput& PictureFiles();

}  // namespace kelvarin
