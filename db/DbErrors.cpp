#include "db/DbErrors.h"
