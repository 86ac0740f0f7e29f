#include "app/qt/qt_ui.h"
#include "app/main_form.h"
