#pragma once

#include "platform/Exceptions.h"

namespace tavisto {

// The data-set framework's error; the engine's errors derive from it.
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

}  // namespace tavisto
