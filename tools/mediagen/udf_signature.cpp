// The container signature for the generator's copy of the UDF writer. The engine's reader
// defines the same constant; where both are linked (the tests), the reader's definition wins.

#include "scene/udf_reader.h"

extern const char* const kUdfSignature __attribute__((weak));
const char* const kUdfSignature = "UDF Binary 1.0";
