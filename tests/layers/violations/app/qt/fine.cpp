#include <QWidget>
#include "app/main_form.h"
