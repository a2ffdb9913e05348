#include "picture_options.h"

namespace measure {

double exportFactor(int sizeOption, double zoom)
{
    switch (sizeOption) {
    case 1: return 1.0;
    case 2: return 0.5;
    case 3: return 0.33;
    default: return zoom;
    }
}

}  // namespace measure
