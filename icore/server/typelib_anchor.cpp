// The library's content is the generated GUID definitions; this unit only gives it a source.
#include "ICore_h.h"
