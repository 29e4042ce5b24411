#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kavio {

// The next number MakeRandomFileName tries. Carried between calls, so consecutive new files get
// consecutive numbers.
extern uint32_t NameCounter;

// Folder + prefix + the counter as upper-case hex right-aligned in five blank-padded columns +
// extension ("mem   3A.memo"), for the first of up to 256 attempts whose name is no existing
// file. The 2nd, 7th, 12th ... attempts start again from a new random number. Throws
// "ランダムファイル名を生成できませんでした。" when every attempt is taken. The folder must end with "/".
std::string MakeRandomFileName(const std::string& folder, const std::string& prefix,
                               const std::string& extension);

// A new random start for the counter: 1 .. FFFFE hex.
uint32_t RandomNameCounter();

// Replaces the random source (for tests); an empty function restores the clock-seeded one.
void SetNameRandomSource(std::function<uint32_t()> source);

}  // namespace kavio
