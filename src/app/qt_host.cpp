#include "app/qt_host.h"
