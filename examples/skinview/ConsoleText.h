#pragma once
// Lines of text on standard output or standard error: UTF-8 into a pipe or a file, wide text
// into a console. skinview is a windowed program; started from a console without redirection
// it writes into the console it was started from.

#include <string>

enum class TextStream { kOutput, kError };

void WriteLine(TextStream stream, const std::wstring& line);
