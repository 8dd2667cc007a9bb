// A loaded show's soundtrack input: the fields of the show, its music list
// and its cells' sounds that the soundtrack reads, and the opener of sound
// files through the file services (packed files first).
//
//     std::unique_ptr<Show> show = loadShow(folder, 3);
//     SoundtrackShow input = soundtrackInput(*show);
//     auto track = std::make_shared<Soundtrack>(input, fileServicesOpener(folder), systemClock());
//
// A sound file name is tried as the show gives it, then inside the folder.
#pragma once

#include <string>

#include "audio/soundtrack.h"
#include "show/show_file.h"

namespace lv::audio {

SoundtrackShow soundtrackInput(const Show& show);

SoundFileOpener fileServicesOpener(std::string folder);

}  // namespace lv::audio
