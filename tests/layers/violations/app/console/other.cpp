#include "app/main_form.h"
#include "app/qt/qt_ui.h"
