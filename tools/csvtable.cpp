// csvtable: reads a table file exactly as the Tavisto log viewer's table does and prints what
// the grid would show, or the number of records. See kUsage.

#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "tools/csvtableOptions.h"
#include "tools/csvtableRun.h"

int main(int argc, char* argv[]) {
    using namespace tavisto::csvtable;
    std::ios::sync_with_stdio(false);
    Options options;
    try {
        options = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        std::cerr << "csvtable: " << error.what() << "\n\n" << kUsage;
        return 2;
    }
    if (options.Action == Command::Help) {
        std::cout << kUsage;
        return 0;
    }
    try {
        RunCommand(options, std::cout);
    } catch (const std::bad_alloc&) {
        std::cerr << "Out of memory\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    std::cout.flush();
    return std::cout ? 0 : 1;
}
