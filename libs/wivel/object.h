// The root of the framework's classes that have an identity of their own:
// a text form, a hash and an equality that subclasses may replace (a window
// is equal to another wrapper of the same handle, an application to one of
// the same module). Plain value records and exceptions do not derive from it.
#pragma once

#include <cstddef>
#include <string>

namespace wivel {

class Object {
public:
    Object() = default;
    Object(const Object&) = default;
    Object& operator=(const Object&) = default;
    virtual ~Object() = default;

    // The class's text form; without a replacement, the name of the class
    // as the compiler reports it.
    virtual std::string toString() const;
    // Without a replacement an object hashes by identity.
    virtual std::size_t toHash() const;
    // Without a replacement an object is equal only to itself. Null is
    // never equal to anything.
    virtual bool equals(const Object* other) const;
};

inline bool operator==(const Object& left, const Object& right) { return left.equals(&right); }

}
