#include "csv/CsvErrors.h"
