#pragma once

#include <ostream>

#include "tools/csvtableOptions.h"

namespace tavisto::csvtable {

// Opens the table file as options say and writes the dump or the count to out. Raises the
// engine's errors, and EInOutError for a file that is not there.
void RunCommand(const Options& options, std::ostream& out);

}  // namespace tavisto::csvtable
