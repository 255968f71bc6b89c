#include "core/object.h"

const String& Object::ClassName(String& out) const {
    out = String("Object");
    return out;
}

Interface::~Interface() {
    if (listener_ != nullptr) listener_->OnDestroyed(this);
}

void Interface::Release() {
    if (useCount_ > 0) --useCount_;
    if (useCount_ == 0 && owner_ != nullptr) owner_->OnReleased(this);
}
