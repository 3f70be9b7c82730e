#include <cstdio>

// Stands in for the program until its main window exists.
int main() {
    std::puts("Tarnwick 1.66: the main window is not built yet. The tables and the saved-table "
              "writer are in place and tested; run the test command of the README to see them.");
    return 0;
}
