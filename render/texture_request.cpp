// Defaults of a texture request.

#include "render/texture_request.h"

DWORD TextureRequest::EffectiveMode() const {
    DWORD result = texture_mode::kEmpty;
    if (Has(kMode))
        result = mode;
    else if (Has(kFileName) || Has(kBytes))
        result = texture_mode::kArchiveFile;
    if (deferred) result |= texture_mode::kDeferred;
    return result;
}
