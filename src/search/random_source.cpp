#include "search/random_source.h"

namespace tessarin {

float MersenneSource::next()
{
    return static_cast<float>(m_engine() >> 8) * 0x1p-24f;
}

} // namespace tessarin
