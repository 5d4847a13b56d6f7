// Placeholder until the formatter lands.
#include "platform/Format.h"
