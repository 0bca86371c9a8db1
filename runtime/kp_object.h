// The common base of the framework's and the game's classes, and the runtime's thrown object.
// Nothing overrides Equals, Compare or debug; they exist so every class shares one vocabulary.
#pragma once

#include "runtime/kp_string.h"

class Object {
  public:
    virtual ~Object() = default;
    virtual bool Equals(const Object* other) const { return this == other; }
    virtual int Compare(const Object* other) const {
        return this == other ? 0 : (this < other ? -1 : 1);
    }
    virtual String debug() const { return String(); }
};

// What the runtime throws; one escaping an event wrapper or start-up reaches KpGame::Die.
class ThrowableObject : public Object {};
