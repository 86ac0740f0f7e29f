#include <windows.h>
#include <QWidget>
