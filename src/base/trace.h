#pragma once

#include <string>

// Trace hooks called at fixed points (loading and writing pages and books, list notifications,
// start-up and shut-down). The sink discards everything; the hooks exist so the points stay
// marked and a sink can be attached while debugging.
namespace kavio {

void Trace(const std::string& text);
void TraceFmt(const char* format, ...) __attribute__((format(printf, 1, 2)));
void TraceTime(const std::string& text);
void TraceSeparator();
void TimerStart(const std::string& name);
void TimerStop(const std::string& name);

}  // namespace kavio
