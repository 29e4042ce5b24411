#include "config/file_naming.h"

#include "base/error.h"
#include "base/file_system.h"

#include <chrono>
#include <cstdio>
#include <random>

namespace kavio {
namespace {

std::function<uint32_t()>& RandomSource()
{
    static std::function<uint32_t()> source;
    return source;
}

uint32_t ClockSeededRandom()
{
    static std::mt19937 generator(static_cast<uint32_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    std::uniform_int_distribution<uint32_t> range(1, 0xFFFFE);
    return range(generator);
}

}  // namespace

uint32_t NameCounter = RandomNameCounter();

uint32_t RandomNameCounter()
{
    if (RandomSource())
        return RandomSource()();
    return ClockSeededRandom();
}

void SetNameRandomSource(std::function<uint32_t()> source)
{
    RandomSource() = std::move(source);
}

std::string MakeRandomFileName(const std::string& folder, const std::string& prefix,
                               const std::string& extension)
{
    for (int attempts = 256; attempts > 0; --attempts) {
        if (attempts % 5 == 0)
            NameCounter = RandomNameCounter();
        char number[16];
        std::snprintf(number, sizeof number, "%5X", NameCounter);
        ++NameCounter;
        std::string name = folder + prefix + number + extension;
        if (!fs::FileExists(name))
            return name;
    }
    throw EKavioError("ランダムファイル名を生成できませんでした。");
}

}  // namespace kavio
