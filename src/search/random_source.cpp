#include "search/random_source.h"

namespace tessarin {


} // namespace tessarin
