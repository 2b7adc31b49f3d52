#include "previews/scanner.h"
// placeholder: implemented by the scanner work
