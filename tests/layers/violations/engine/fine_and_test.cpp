#include <immintrin.h>
#include <vector>
#include "render/html.h"
#include "tests/support/temp_dir.h"
