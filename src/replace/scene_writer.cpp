#include "replace/scene_writer.h"
