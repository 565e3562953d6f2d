#pragma once

#include "core/capture/recording/AviRecorder.h"

#include <memory>

namespace skelvin {

class RecordingContactSearch;

// What hands a recording's frames to the first contact's search while it records: each frame
// the recorder takes is shared (not copied) and made into a whole picture on the search's own
// thread, a Motion JPEG frame decoded there.
AviRecorder::FrameWatcher contactSearchFeed(std::shared_ptr<RecordingContactSearch> search);

} // namespace skelvin
