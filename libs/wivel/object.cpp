// Default identity behaviour of the framework's root class.
#include "object.h"

#include <functional>
#include <typeinfo>

namespace wivel {

std::string Object::toString() const { return typeid(*this).name(); }

std::size_t Object::toHash() const { return std::hash<const void*> {}(this); }

bool Object::equals(const Object* other) const { return other == this; }

}
