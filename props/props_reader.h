#pragma once
// ReadStatement: cuts the next statement out of props text.
//
// From position on: "//" starts a comment wherever it stands, also inside quotes, and drops
// the rest of the line with the line ends after it; CR and LF are dropped, so a statement
// spread over lines is joined without a separator; a quote that does not follow a
// backslash opens or closes its kind of quoted text unless the other kind is open; a ";"
// outside quotes ends the statement and is consumed. At the end of the text what was
// gathered is the last statement. position is left after what was read.

#include "core/byte_string.h"

String ReadStatement(const char* text, int length, int& position);
