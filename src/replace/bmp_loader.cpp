#include "replace/bmp_loader.h"
