#include "previews/extraction.h"
