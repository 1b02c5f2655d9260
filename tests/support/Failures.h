#pragma once
// The run-time failure a call raises, for tests.
#include "model/VbError.h"

#include <functional>

// The failure number the call raised, or 0 when it succeeded.
inline int failureNumber(const std::function<void()>& f)
{
    try {
        f();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}
