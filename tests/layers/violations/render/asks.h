#ifdef _WIN32
#endif
#include "engine/run_state.h"
