#include "stream/TFiler.h"

namespace morvane {

TFiler::TFiler(TvxStream& stream, std::size_t bufferSize) : stream_(stream), buffer_(bufferSize ? bufferSize : 1) {}

} // namespace morvane
