#include <unistd.h>
#include "settings/settings.h"
