#include <QString>
#include "app/qt/qt_ui.h"
