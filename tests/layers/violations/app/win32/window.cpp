#include <QWidget>
#include <windows.h>
