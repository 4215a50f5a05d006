#include "model/TvxRefIntRel.h"

namespace morvane {

void TvxRefIntRel::Reset()
{
    thisLabels_.clear();
    masterLabels_.clear();
    connectors_.clear();
}

} // namespace morvane
