#include "app/switch_dialog.h"
