#include "core/text/CellReference.h"

#include <algorithm>

namespace tarnwick {

std::string columnLetters(int col) {
    std::string letters;
    for (long n = static_cast<long>(col) + 1; n > 0; n = (n - 1) / 26)
        letters.push_back(static_cast<char>('A' + (n - 1) % 26));
    std::reverse(letters.begin(), letters.end());
    return letters;
}

std::string cellReference(int col, int row) {
    return columnLetters(col) + std::to_string(static_cast<long>(row) + 1);
}

} // namespace tarnwick
