#include "base/wildcard.h"

#include <algorithm>
#include <cctype>

namespace kavio {
namespace {

// Iterative form of the recursive match with one back-track point per star: the last star
// seen can always absorb one more character, so earlier stars never need revisiting. This
// keeps hostile patterns ("*a*a*a*...b") linear-ish instead of exponential.
bool Match(const std::string& t, const std::string& p)
{
    size_t i = 0, j = 0;
    size_t starJ = std::string::npos, starI = 0;
    while (i < t.size()) {
        if (j < p.size() && p[j] == '*') {
            starJ = j++;
            starI = i;
        } else if (j < p.size() && (p[j] == '?' || p[j] == t[i])) {
            ++i;
            ++j;
        } else if (starJ != std::string::npos) {
            j = starJ + 1;
            i = ++starI;
        } else {
            return false;
        }
    }
    while (j < p.size() && p[j] == '*')
        ++j;
    return j == p.size();
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

}  // namespace

bool WildcardMatch(const std::string& text, const std::string& pattern, WildcardCase mode)
{
    if (mode == WildcardCase::Insensitive)
        return Match(Lower(text), Lower(pattern));
    return Match(text, pattern);
}

}  // namespace kavio
