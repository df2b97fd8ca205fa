#pragma once

#include "db/DbErrors.h"

namespace tavisto {

// Every error of the CSV engine unless stated otherwise.
class ECsvDataSetError : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

// A row whose key is already present in a table with unique keys.
class ECsvKeyError : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

}  // namespace tavisto
